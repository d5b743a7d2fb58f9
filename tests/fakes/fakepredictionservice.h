#pragma once

#include "fakes/fakehttpserver.h"

#include <QByteArray>
#include <QUrl>

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// One scripted answer of the fake prediction service.
struct FakeAnswer {
    int status = 200;
    std::string contentType = "application/json; charset=utf-8";
    std::string body;
    int delayMs = 0;                                 // silence before the answer: a slow service
    bool dropConnection = false;                     // half the body, then the connection is closed
    std::multimap<std::string, std::string> headers; // further answer headers
    // Uploads only: when half the request body has arrived, the connection is cut, or the
    // fake stops reading for this long.
    bool dropDuringUpload = false;
    int stallDuringUploadMs = 0;
};

// A file that the fake's files API received.
struct FakeStoredFile {
    std::string id;
    std::string name;        // the file name the upload gave, as sent
    std::string contentType; // the part's type, application/octet-stream when it gave none
    std::string content;     // empty when the fake does not keep contents
    std::uint64_t size = 0;
    bool deleted = false;
};

// The prediction service for tests: HTTPS on 127.0.0.1 (by default with a certificate of
// the test authority), answering POST /v1/predictions and GET /v1/predictions/<id> from
// scripts, and recording every request. Answers are shaped like the service's own: the
// prediction object with id, model, version, input, logs, output, error, status, the
// timestamps, urls and metrics, in-progress answers without output and completion times;
// refusals as application/problem+json. Its files API takes multipart uploads at
// POST /v1/files (read strictly, as they arrive), answers GET and DELETE of
// /v1/files/<id>, and POST /v1/predictions/<id>/cancel cancels a prediction: its later
// fetches answer "canceled".
class FakePredictionService {
public:
    explicit FakePredictionService(
        FakeHttpServer::Transport transport = FakeHttpServer::Transport::Secure);

    // Answers to create requests, in order; the last one repeats.
    void scriptCreate(std::vector<FakeAnswer> answers);
    // Answers to fetches of one prediction, in order; the last one repeats. Fetches of an
    // unscripted prediction get the service's 404 answer.
    void scriptPolls(const std::string& id, std::vector<FakeAnswer> answers);

    // Uploads larger than this many bytes get the service's 413 answer.
    void setUploadLimit(std::uint64_t bytes);
    // Whether uploaded contents (and the raw request body) are kept for inspection; a
    // benchmark turns it off so the fake holds nothing of a large upload.
    void setKeepUploads(bool keep);
    // Answers to well-formed uploads, in order, the last one repeating, instead of storing
    // the file; empty: store and answer 201.
    void scriptUploads(std::vector<FakeAnswer> answers);
    // Every file received, deleted ones too, in order.
    std::vector<FakeStoredFile> files() const;
    // Files received and not deleted.
    std::size_t storedFileCount() const;
    // Why the last upload was refused as malformed; "" when it was not.
    std::string lastUploadError() const;
    // The answer to a cancel of that prediction, instead of the usual 200 "canceled".
    void scriptCancel(const std::string& id, FakeAnswer answer);

    void start();
    QUrl baseUrl() const { return m_server.baseUrl(); }
    std::vector<RecordedRequest> requests() const { return m_server.requests(); }
    void clearRequests() { m_server.clearRequests(); }
    static QByteArray testCaCertificates() { return FakeHttpServer::testCaCertificates(); }

    // Answer builders.
    // A prediction object; outputJson empty leaves the output member out, as in-progress
    // answers do.
    static FakeAnswer prediction(const std::string& id, const std::string& status,
                                 int httpStatus = 200, const std::string& outputJson = {},
                                 const std::string& errorJson = "null");
    static FakeAnswer starting(const std::string& id) { return prediction(id, "starting", 201); }
    static FakeAnswer processing(const std::string& id) { return prediction(id, "processing"); }
    // A finished prediction whose output carries the subtitles, the text and the language.
    static FakeAnswer succeeded(const std::string& id, const std::string& subtitles);
    static FakeAnswer failed(const std::string& id, const std::string& error);
    static FakeAnswer problem(int status, const std::string& title, const std::string& detail);
    static FakeAnswer htmlPage(int status, const std::string& title);
    static FakeAnswer raw(int status, const std::string& contentType, const std::string& body);

    // Subtitles as this model writes them: no blank line between cues, hours only when not
    // zero and unpadded, LF line breaks; with non-ASCII text.
    static std::string webVtt();
    static std::string subRip();
    // WebVTT cues of that model's shape filling about the given number of bytes.
    static std::string largeWebVtt(std::size_t bytes);
    // A JSON string literal of the text, quotes included.
    static std::string jsonString(const std::string& text);
    // The service's file object.
    FakeAnswer fileObject(const FakeStoredFile& file, int httpStatus) const;

private:
    void answer(const FakeAnswer& scripted, httplib::Response& response);
    void receiveUpload(const httplib::Request& request, httplib::Response& response,
                       const httplib::ContentReader& reader, std::string& recordedBody);

    FakeHttpServer m_server;
    mutable std::mutex m_mutex;
    std::vector<FakeAnswer> m_createAnswers;
    std::size_t m_createsServed = 0;
    std::map<std::string, std::vector<FakeAnswer>> m_pollAnswers;
    std::map<std::string, std::size_t> m_pollsServed;
    std::uint64_t m_uploadLimit = 100'000'000;
    bool m_keepUploads = true;
    std::vector<FakeAnswer> m_uploadAnswers;
    std::size_t m_uploadsServed = 0;
    std::vector<FakeStoredFile> m_files;
    std::string m_lastUploadError;
    std::map<std::string, FakeAnswer> m_cancelAnswers;
    std::set<std::string> m_canceled;
};
