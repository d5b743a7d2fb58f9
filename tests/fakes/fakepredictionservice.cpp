#include "fakes/fakepredictionservice.h"

#include <chrono>
#include <cstdio>
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
                        if (found == m_pollAnswers.end() || found->second.empty()) {
                            scripted = raw(404, "application/json", "{\"detail\":\"Not found.\"}");
                        } else {
                            std::size_t& served = m_pollsServed[id];
                            scripted = found->second[std::min(served, found->second.size() - 1)];
                            ++served;
                        }
                    }
                    answer(scripted, response);
                });
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
