#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One part of a multipart/form-data body: its headers as sent and the Content-Disposition
// parameters it carried.
struct FakeFormPart {
    std::vector<std::pair<std::string, std::string>> headers; // names as sent
    std::string name;                                         // the "name" parameter
    bool hasFileName = false;
    std::string fileName;    // the "filename" parameter, unquoted, as sent
    std::string contentType; // the part's Content-Type, "" when it sent none
    std::string content;     // filled only when the reader keeps contents
    std::uint64_t size = 0;
};

// Reads a multipart/form-data body as it arrives, piece by piece, and refuses anything
// that does not follow the format strictly: the body starts with the first delimiter,
// every part has a Content-Disposition of form-data with a quoted name, header lines end
// in CR LF, the close delimiter ends the body (an optional CR LF after it, nothing more).
// Part contents are handed on as they arrive and need not be kept.
class FakeMultipartReader {
public:
    // contentType: the request's Content-Type header, where the boundary comes from.
    explicit FakeMultipartReader(const std::string& contentType);

    // Receives content bytes of the current part (every part's, in order).
    std::function<void(const FakeFormPart& part, std::string_view bytes)> onContent;
    // Keeps every part's content in FakeFormPart::content.
    bool keepContent = true;

    // False once the body broke the format; error() says how.
    bool feed(std::string_view bytes);
    // True when the whole body was well formed and complete.
    bool finish();

    const std::string& boundary() const { return m_boundary; }
    const std::vector<FakeFormPart>& parts() const { return m_parts; }
    const std::string& error() const { return m_error; }

private:
    enum class State { Preamble, AfterDelimiter, Headers, Content, Closed, Done, Failed };

    bool fail(std::string message);
    bool parseHeaders(std::string_view block);
    void emitContent(std::string_view bytes);

    std::string m_boundary;
    std::string m_delimiter; // CR LF "--" boundary
    State m_state = State::Preamble;
    std::string m_pending; // bytes not yet decided on
    std::vector<FakeFormPart> m_parts;
    std::string m_error;
};

// The boundary parameter of a multipart Content-Type (quoted or not); "" when missing.
std::string MultipartBoundary(const std::string& contentType);
