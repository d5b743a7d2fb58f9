#include "fakes/fakepredictionservice.h"

#include "fakes/fakemultipartreader.h"

#include <openssl/evp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

const char* const kVersion = "7f686e243a96c7f6f0f481bcef24d688a1369ed3983cea348d1f43b879615766";

std::string urls(const std::string& id)
{
    const std::string base = "https://api.replicate.com/v1/predictions/" + id;
    return "{\"cancel\":\"" + base + "/cancel\",\"get\":\"" + base + "\"}";
}

FakeAnswer answerOf(int status, std::string contentType, std::string body)
{
    FakeAnswer answer;
    answer.status = status;
    answer.contentType = std::move(contentType);
    answer.body = std::move(body);
    return answer;
}

std::string sha256Hex(const std::string& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr);
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out += hex[digest[i] >> 4];
        out += hex[digest[i] & 0x0f];
    }
    return out;
}

// A file identifier of the service's shape: 26 small letters and digits.
std::string fileId(std::size_t serial)
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz234567";
    std::string id = "file";
    std::uint64_t value = 0x9e3779b97f4a7c15ULL * (serial + 1);
    while (id.size() < 26) {
        id += alphabet[value % 32];
        value = value / 32 + 0x51afd7ed558ccdULL * id.size();
    }
    return id;
}

} // namespace

FakePredictionService::FakePredictionService(FakeHttpServer::Transport transport)
    : m_server(transport)
{
    m_server.on(
        "POST", "/v1/predictions", [this](const httplib::Request&, httplib::Response& response) {
            FakeAnswer scripted;
            {
                std::lock_guard lock(m_mutex);
                if (m_createAnswers.empty()) {
                    scripted = problem(500, "Internal Server Error", "No answer was scripted.");
                } else {
                    scripted =
                        m_createAnswers[std::min(m_createsServed, m_createAnswers.size() - 1)];
                    ++m_createsServed;
                }
            }
            answer(scripted, response);
        });
    m_server.on("GET", "/v1/predictions/(.*)",
                [this](const httplib::Request& request, httplib::Response& response) {
                    const std::string id = request.matches[1];
                    FakeAnswer scripted;
                    {
                        std::lock_guard lock(m_mutex);
                        const auto found = m_pollAnswers.find(id);
                        if (m_canceled.count(id)) {
                            scripted = prediction(id, "canceled");
                        } else if (found == m_pollAnswers.end() || found->second.empty()) {
                            scripted = raw(404, "application/json", "{\"detail\":\"Not found.\"}");
                        } else {
                            std::size_t& served = m_pollsServed[id];
                            scripted = found->second[std::min(served, found->second.size() - 1)];
                            ++served;
                        }
                    }
                    answer(scripted, response);
                });
    m_server.on("POST", "/v1/predictions/([^/]+)/cancel",
                [this](const httplib::Request& request, httplib::Response& response) {
                    const std::string id = request.matches[1];
                    FakeAnswer scripted = prediction(id, "canceled");
                    {
                        std::lock_guard lock(m_mutex);
                        const auto found = m_cancelAnswers.find(id);
                        if (found != m_cancelAnswers.end())
                            scripted = found->second;
                        if (scripted.status >= 200 && scripted.status < 300)
                            m_canceled.insert(id);
                    }
                    answer(scripted, response);
                });
    m_server.onContent("/v1/files",
                       [this](const httplib::Request& request, httplib::Response& response,
                              const httplib::ContentReader& reader, std::string& recordedBody) {
                           receiveUpload(request, response, reader, recordedBody);
                       });
    m_server.on("GET", "/v1/files/([^/]+)",
                [this](const httplib::Request& request, httplib::Response& response) {
                    FakeAnswer scripted = problem(404, "Not found", "File not found");
                    {
                        std::lock_guard lock(m_mutex);
                        for (const FakeStoredFile& file : m_files)
                            if (file.id == request.matches[1] && !file.deleted)
                                scripted = fileObject(file, 200);
                    }
                    answer(scripted, response);
                });
    m_server.on("DELETE", "/v1/files/([^/]+)",
                [this](const httplib::Request& request, httplib::Response& response) {
                    FakeAnswer scripted = problem(404, "Not found", "File not found");
                    {
                        std::lock_guard lock(m_mutex);
                        for (FakeStoredFile& file : m_files) {
                            if (file.id == request.matches[1] && !file.deleted) {
                                file.deleted = true;
                                scripted = raw(204, "", "");
                            }
                        }
                    }
                    answer(scripted, response);
                });
}

void FakePredictionService::receiveUpload(const httplib::Request& request,
                                          httplib::Response& response,
                                          const httplib::ContentReader& reader,
                                          std::string& recordedBody)
{
    FakeAnswer scripted;
    bool isScripted = false;
    bool keep = true;
    std::uint64_t limit = 0;
    {
        std::lock_guard lock(m_mutex);
        keep = m_keepUploads;
        limit = m_uploadLimit;
        if (!m_uploadAnswers.empty()) {
            scripted = m_uploadAnswers[std::min(m_uploadsServed, m_uploadAnswers.size() - 1)];
            ++m_uploadsServed;
            isScripted = true;
        }
    }
    const std::uint64_t total =
        std::strtoull(request.get_header_value("Content-Length").c_str(), nullptr, 10);
    FakeMultipartReader parser(FakeHttpServer::contentType(request));
    parser.keepContent = keep;
    std::uint64_t received = 0;
    bool halfWay = false;
    const bool read = reader([&](const char* data, std::size_t length) {
        if (keep)
            recordedBody.append(data, length);
        received += length;
        parser.feed(std::string_view(data, length));
        if (!halfWay && received * 2 >= total) {
            halfWay = true;
            if (scripted.dropDuringUpload) {
                m_server.dropConnection(request);
                return false;
            }
            if (scripted.stallDuringUploadMs > 0)
                std::this_thread::sleep_for(
                    std::chrono::milliseconds(scripted.stallDuringUploadMs));
        }
        return true;
    });
    if (!read)
        return; // the connection is gone: nobody to answer

    const FakeFormPart* content = nullptr;
    std::string error;
    if (!parser.finish()) {
        error = parser.error();
    } else {
        for (const FakeFormPart& part : parser.parts()) {
            if (part.name == "content") {
                if (content)
                    error = "two parts are named content";
                content = &part;
            } else if (part.name != "type" && part.name != "filename" && part.name != "metadata") {
                error = "an unknown part: " + part.name;
            }
        }
        if (!content)
            error = "the content part is missing";
        else if (!content->hasFileName)
            error = "the content part has no file name";
    }
    {
        std::lock_guard lock(m_mutex);
        m_lastUploadError = error;
    }
    if (!error.empty()) {
        answer(problem(400, "Bad Request", error), response);
        return;
    }
    if (isScripted) {
        answer(scripted, response);
        return;
    }
    if (content->size > limit) {
        answer(problem(413, "Content Too Large", "Files must be less than 100MB in size"),
               response);
        return;
    }
    FakeStoredFile file;
    file.name = content->fileName;
    file.contentType =
        content->contentType.empty() ? "application/octet-stream" : content->contentType;
    file.content = content->content;
    file.size = content->size;
    FakeAnswer created;
    {
        std::lock_guard lock(m_mutex);
        file.id = fileId(m_files.size());
        m_files.push_back(file);
        created = fileObject(file, 201);
    }
    answer(created, response);
}

FakeAnswer FakePredictionService::fileObject(const FakeStoredFile& file, int httpStatus) const
{
    const std::string url = m_server.baseUrl().toString().toStdString() + "/v1/files/" + file.id;
    std::string checksums = "{}";
    if (m_keepUploads)
        checksums = "{\"sha256\":\"" + sha256Hex(file.content) + "\"}";
    return answerOf(httpStatus, "application/json",
                    "{\"id\":" + jsonString(file.id) + ",\"name\":" + jsonString(file.name) +
                        ",\"content_type\":" + jsonString(file.contentType) +
                        ",\"size\":" + std::to_string(file.size) + ",\"etag\":\"" +
                        file.id.substr(4, 8) + "\",\"checksums\":" + checksums +
                        ",\"metadata\":{},\"created_at\":\"2026-12-10T09:14:03.504Z\","
                        "\"expires_at\":\"2026-12-11T09:14:03.504Z\",\"urls\":{\"get\":" +
                        jsonString(url) + "}}");
}

void FakePredictionService::setUploadLimit(std::uint64_t bytes)
{
    std::lock_guard lock(m_mutex);
    m_uploadLimit = bytes;
}

void FakePredictionService::setKeepUploads(bool keep)
{
    std::lock_guard lock(m_mutex);
    m_keepUploads = keep;
}

void FakePredictionService::scriptUploads(std::vector<FakeAnswer> answers)
{
    std::lock_guard lock(m_mutex);
    m_uploadAnswers = std::move(answers);
    m_uploadsServed = 0;
}

std::vector<FakeStoredFile> FakePredictionService::files() const
{
    std::lock_guard lock(m_mutex);
    return m_files;
}

std::size_t FakePredictionService::storedFileCount() const
{
    std::lock_guard lock(m_mutex);
    return std::size_t(std::count_if(m_files.begin(), m_files.end(),
                                     [](const FakeStoredFile& file) { return !file.deleted; }));
}

std::string FakePredictionService::lastUploadError() const
{
    std::lock_guard lock(m_mutex);
    return m_lastUploadError;
}

void FakePredictionService::scriptCancel(const std::string& id, FakeAnswer answer)
{
    std::lock_guard lock(m_mutex);
    m_cancelAnswers[id] = std::move(answer);
}

void FakePredictionService::scriptCreate(std::vector<FakeAnswer> answers)
{
    std::lock_guard lock(m_mutex);
    m_createAnswers = std::move(answers);
    m_createsServed = 0;
}

void FakePredictionService::scriptPolls(const std::string& id, std::vector<FakeAnswer> answers)
{
    std::lock_guard lock(m_mutex);
    m_pollAnswers[id] = std::move(answers);
    m_pollsServed[id] = 0;
}

void FakePredictionService::start()
{
    m_server.start();
}

void FakePredictionService::answer(const FakeAnswer& scripted, httplib::Response& response)
{
    if (scripted.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(scripted.delayMs));
    response.status = scripted.status;
    for (const auto& [name, value] : scripted.headers)
        response.set_header(name, value);
    if (scripted.dropConnection) {
        const std::string body = scripted.body;
        response.set_content_provider(
            body.size(), scripted.contentType,
            [body](std::size_t, std::size_t, httplib::DataSink& sink) {
                sink.write(body.data(), body.size() / 2);
                return false; // the server closes the connection mid-answer
            });
        return;
    }
    if (scripted.body.empty() && scripted.contentType.empty())
        return; // an answer without a body, such as 204
    response.set_content(scripted.body, scripted.contentType);
}

std::string FakePredictionService::jsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

FakeAnswer FakePredictionService::prediction(const std::string& id, const std::string& status,
                                             int httpStatus, const std::string& outputJson,
                                             const std::string& errorJson)
{
    const bool finished =
        status == "succeeded" || status == "failed" || status == "canceled" || status == "aborted";
    std::string body = "{\"id\":" + jsonString(id) +
                       ",\"model\":\"openai/whisper\",\"version\":\"" + kVersion +
                       "\",\"input\":{\"audio_path\":\"https://files.example/talk.mp3\","
                       "\"format\":\"vtt\",\"model_name\":\"base\"},\"logs\":\"\"";
    if (!outputJson.empty())
        body += ",\"output\":" + outputJson;
    body += ",\"data_removed\":false,\"error\":" + errorJson + ",\"status\":" + jsonString(status) +
            ",\"created_at\":\"2026-12-09T21:14:03.504128Z\"";
    if (status != "starting")
        body += ",\"started_at\":\"2026-12-09T21:14:05.200311Z\"";
    if (finished)
        body += ",\"completed_at\":\"2026-12-09T21:14:41.918004Z\"";
    body += ",\"urls\":" + urls(id);
    if (finished)
        body += ",\"metrics\":{\"predict_time\":36.717693,\"total_time\":38.413876}";
    body += "}";
    return answerOf(httpStatus, "application/json; charset=utf-8", body);
}

FakeAnswer FakePredictionService::succeeded(const std::string& id, const std::string& subtitles)
{
    const std::string output = "{\"text\":\" Grüße aus Köln.\",\"language\":\"german\","
                               "\"subtitles\":" +
                               jsonString(subtitles) + "}";
    return prediction(id, "succeeded", 200, output);
}

FakeAnswer FakePredictionService::failed(const std::string& id, const std::string& error)
{
    return prediction(id, "failed", 200, {}, jsonString(error));
}

FakeAnswer FakePredictionService::problem(int status, const std::string& title,
                                          const std::string& detail)
{
    return answerOf(status, "application/problem+json",
                    "{\"title\":" + jsonString(title) + ",\"detail\":" + jsonString(detail) +
                        ",\"status\":" + std::to_string(status) + "}");
}

FakeAnswer FakePredictionService::htmlPage(int status, const std::string& title)
{
    return answerOf(status, "text/html",
                    "<html>\r\n<head><title>" + title +
                        "</title></head>\r\n<body>\r\n<center><h1>" + title +
                        "</h1></center>\r\n<hr><center>nginx</center>\r\n</body>\r\n</html>\r\n");
}

FakeAnswer FakePredictionService::raw(int status, const std::string& contentType,
                                      const std::string& body)
{
    return answerOf(status, contentType, body);
}

std::string FakePredictionService::webVtt()
{
    return "WEBVTT\n"
           "00:00.000 --> 00:03.480\n"
           " Grüße aus Köln, sagte die Straßenbahn.\n"
           "00:03.480 --> 00:07.120\n"
           " Ça va très bien — 東京 too.\n"
           "1:00:07.120 --> 1:00:09.000\n"
           " The end.\n";
}

std::string FakePredictionService::subRip()
{
    return "1\n"
           "00:00.000 --> 00:03.480\n"
           " Grüße aus Köln, sagte die Straßenbahn.\n"
           "2\n"
           "00:03.480 --> 00:07.120\n"
           " Ça va très bien — 東京 too.\n";
}

std::string FakePredictionService::largeWebVtt(std::size_t bytes)
{
    std::string text = "WEBVTT\n";
    text.reserve(bytes + 128);
    for (int cue = 0; text.size() < bytes; ++cue) {
        const int start = cue * 3;
        char times[64];
        std::snprintf(times, sizeof times, "%02d:%02d.000 --> %02d:%02d.500\n", (start / 60) % 60,
                      start % 60, ((start + 2) / 60) % 60, (start + 2) % 60);
        text += times;
        text += " Cue " + std::to_string(cue) + ": Grüße aus Köln, the quick brown fox jumps.\n";
    }
    return text;
}
