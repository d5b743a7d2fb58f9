#include "fakes/fakemultipartreader.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Splits "a=b; c=\"d;e\"" into its parameters; false when a quoted value is not closed.
bool parameters(std::string_view text, std::vector<std::pair<std::string, std::string>>& out,
                bool& quotedOk)
{
    quotedOk = true;
    while (!text.empty()) {
        const auto equals = text.find('=');
        if (equals == std::string_view::npos)
            return false;
        const std::string name = lowered(trimmed(text.substr(0, equals)));
        text.remove_prefix(equals + 1);
        text = trimmed(text);
        std::string value;
        if (!text.empty() && text.front() == '"') {
            // No escapes inside the quotes: a backslash is an ordinary byte, as browsers
            // and this service's clients send it; a quote ends the value.
            const auto close = text.find('"', 1);
            if (close == std::string_view::npos) {
                quotedOk = false;
                return false;
            }
            value = std::string(text.substr(1, close - 1));
            text.remove_prefix(close + 1);
            text = trimmed(text);
        } else {
            const auto end = text.find(';');
            value = std::string(trimmed(text.substr(0, end)));
            text.remove_prefix(end == std::string_view::npos ? text.size() : end);
        }
        out.emplace_back(name, value);
        if (!text.empty()) {
            if (text.front() != ';')
                return false;
            text.remove_prefix(1);
            text = trimmed(text);
        }
    }
    return true;
}

bool validUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80           ? 0
                    : (c >> 5) == 0x6  ? 1
                    : (c >> 4) == 0xe  ? 2
                    : (c >> 3) == 0x1e ? 3
                                       : -1;
        if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0))
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2)
                return false;
        i += extra + 1;
    }
    return true;
}

} // namespace

std::string MultipartBoundary(const std::string& contentType)
{
    const auto semicolon = contentType.find(';');
    if (semicolon == std::string::npos)
        return {};
    std::vector<std::pair<std::string, std::string>> params;
    bool quotedOk = true;
    if (!parameters(std::string_view(contentType).substr(semicolon + 1), params, quotedOk))
        return {};
    for (const auto& [name, value] : params)
        if (name == "boundary")
            return value;
    return {};
}

FakeMultipartReader::FakeMultipartReader(const std::string& contentType)
{
    if (lowered(trimmed(contentType.substr(0, contentType.find(';')))) != "multipart/form-data") {
        fail("the request is not multipart/form-data");
        return;
    }
    m_boundary = MultipartBoundary(contentType);
    if (m_boundary.empty() || m_boundary.size() > 70) {
        fail("the boundary is missing or longer than 70 characters");
        return;
    }
    m_delimiter = "\r\n--" + m_boundary;
    // The body's first delimiter has no line break before it: pretend one was there.
    m_pending = "\r\n";
}

bool FakeMultipartReader::fail(std::string message)
{
    if (m_state != State::Failed) {
        m_state = State::Failed;
        m_error = std::move(message);
    }
    return false;
}

void FakeMultipartReader::emitContent(std::string_view bytes)
{
    if (bytes.empty())
        return;
    FakeFormPart& part = m_parts.back();
    part.size += bytes.size();
    if (keepContent)
        part.content.append(bytes);
    if (onContent)
        onContent(part, bytes);
}

bool FakeMultipartReader::parseHeaders(std::string_view block)
{
    FakeFormPart part;
    bool disposition = false;
    while (!block.empty()) {
        const auto end = block.find("\r\n");
        const std::string_view line = block.substr(0, end);
        block.remove_prefix(end == std::string_view::npos ? block.size() : end + 2);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0)
            return fail("a part header line has no name: " + std::string(line));
        for (const char c : line)
            if (c == '\r' || c == '\n' || c == '\0')
                return fail("a part header line holds a line break or NUL");
        const std::string name(line.substr(0, colon));
        const std::string value(trimmed(line.substr(colon + 1)));
        part.headers.emplace_back(name, value);
        const std::string key = lowered(name);
        if (key == "content-disposition") {
            if (disposition)
                return fail("a part has two Content-Disposition headers");
            disposition = true;
            const auto semicolon = value.find(';');
            if (lowered(trimmed(std::string_view(value).substr(0, semicolon))) != "form-data")
                return fail("a part's disposition is not form-data");
            if (semicolon == std::string::npos)
                return fail("a part's disposition has no name");
            std::vector<std::pair<std::string, std::string>> params;
            bool quotedOk = true;
            if (!parameters(std::string_view(value).substr(semicolon + 1), params, quotedOk))
                return fail(quotedOk ? "a part's disposition parameters are malformed"
                                     : "a part's disposition has an unclosed quote");
            bool named = false;
            for (const auto& [param, text] : params) {
                if (param == "name") {
                    part.name = text;
                    named = true;
                } else if (param == "filename") {
                    part.fileName = text;
                    part.hasFileName = true;
                }
            }
            if (!named)
                return fail("a part's disposition has no name");
        } else if (key == "content-type") {
            part.contentType = value;
        }
    }
    if (!disposition)
        return fail("a part has no Content-Disposition header");
    if (part.hasFileName &&
        (part.fileName.empty() || part.fileName.size() > 255 || !validUtf8(part.fileName)))
        return fail("a part's file name is empty, longer than 255 bytes or not UTF-8");
    m_parts.push_back(std::move(part));
    return true;
}

bool FakeMultipartReader::feed(std::string_view bytes)
{
    if (m_state == State::Failed)
        return false;
    m_pending.append(bytes);
    for (;;) {
        switch (m_state) {
        case State::Preamble: {
            if (m_pending.size() < m_delimiter.size())
                return true;
            if (m_pending.compare(0, m_delimiter.size(), m_delimiter) != 0)
                return fail("the body does not start with the boundary");
            m_pending.erase(0, m_delimiter.size());
            m_state = State::AfterDelimiter;
            break;
        }
        case State::AfterDelimiter: {
            if (m_pending.size() < 2)
                return true;
            if (m_pending.compare(0, 2, "--") == 0) {
                m_pending.erase(0, 2);
                m_state = State::Closed;
            } else if (m_pending.compare(0, 2, "\r\n") == 0) {
                m_pending.erase(0, 2);
                m_state = State::Headers;
            } else {
                return fail("a delimiter is followed by neither CR LF nor \"--\"");
            }
            break;
        }
        case State::Headers: {
            const auto end = m_pending.find("\r\n\r\n");
            if (end == std::string::npos) {
                if (m_pending.size() > 16384)
                    return fail("a part's headers exceed 16 KiB");
                return true;
            }
            if (!parseHeaders(std::string_view(m_pending).substr(0, end)))
                return false;
            m_pending.erase(0, end + 4);
            m_state = State::Content;
            break;
        }
        case State::Content: {
            const auto found = m_pending.find(m_delimiter);
            if (found == std::string::npos) {
                // Keep what could be the start of a delimiter split across pieces.
                const std::size_t keep = std::min(m_pending.size(), m_delimiter.size() - 1);
                emitContent(std::string_view(m_pending).substr(0, m_pending.size() - keep));
                m_pending.erase(0, m_pending.size() - keep);
                return true;
            }
            emitContent(std::string_view(m_pending).substr(0, found));
            m_pending.erase(0, found + m_delimiter.size());
            m_state = State::AfterDelimiter;
            break;
        }
        case State::Closed:
            if (m_pending.empty())
                return true;
            if (m_pending == "\r" || m_pending == "\r\n") {
                if (m_pending == "\r\n") {
                    m_pending.clear();
                    m_state = State::Done;
                }
                return true;
            }
            return fail("bytes follow the closing boundary");
        case State::Done:
            if (!m_pending.empty())
                return fail("bytes follow the closing boundary");
            return true;
        case State::Failed:
            return false;
        }
    }
}

bool FakeMultipartReader::finish()
{
    if (m_state == State::Failed)
        return false;
    if (m_state == State::Closed && m_pending.empty())
        m_state = State::Done;
    if (m_state != State::Done)
        return fail("the body ended before its closing boundary");
    return true;
}
