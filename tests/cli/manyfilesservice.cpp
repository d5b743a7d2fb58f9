#include "manyfilesservice.h"

#include "fakes/fakepredictionservice.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <regex>

ManyFilesService::ManyFilesService()
    : m_server(FakeHttpServer::Transport::Secure)
{
    m_server.on(
        "POST", "/v1/predictions",
        [this](const httplib::Request& request, httplib::Response& response) {
            const QJsonObject input =
                QJsonDocument::fromJson(QByteArray::fromStdString(request.body))
                    .object()
                    .value(QStringLiteral("input"))
                    .toObject();
            const std::string audio =
                input.value(QStringLiteral("audio_path")).toString().toStdString();
            std::lock_guard lock(m_mutex);
            const std::string name = fileNameOfAudio(audio);
            const Script script = m_scripts.count(name) ? m_scripts.at(name) : m_defaultScript;
            if (m_refused[name] < script.tooManyRequestsFirst) {
                ++m_refused[name];
                response.status = 429;
                response.set_header("Retry-After", "1");
                response.set_content("{\"title\":\"Too Many Requests\",\"detail\":\"Request was "
                                     "throttled.\",\"status\":429}",
                                     "application/problem+json");
                return;
            }
            ++m_accepted[name];
            const std::string id = "q" + std::to_string(m_nextId++);
            m_predictions[id] = Prediction{name, 0, false};
            m_created.push_back(id);
            m_createTimes.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
            response.status = 201;
            response.set_content(predictionBody(id, m_predictions[id], true), "application/json");
        });
    m_server.on("GET", "/v1/predictions/([^/]+)",
                [this](const httplib::Request& request, httplib::Response& response) {
                    const std::string id = request.matches[1];
                    std::lock_guard lock(m_mutex);
                    const auto found = m_predictions.find(id);
                    if (found == m_predictions.end()) {
                        response.status = 404;
                        response.set_content("{\"detail\":\"Not found.\",\"status\":404}",
                                             "application/problem+json");
                        return;
                    }
                    ++found->second.polls;
                    response.status = 200;
                    response.set_content(predictionBody(id, found->second, false),
                                         "application/json");
                });
    m_server.on("POST", "/v1/predictions/([^/]+)/cancel",
                [this](const httplib::Request& request, httplib::Response& response) {
                    const std::string id = request.matches[1];
                    std::lock_guard lock(m_mutex);
                    const auto found = m_predictions.find(id);
                    if (found == m_predictions.end()) {
                        response.status = 404;
                        return;
                    }
                    found->second.canceled = true;
                    m_canceled.push_back(id);
                    response.status = 200;
                    response.set_content(predictionBody(id, found->second, false),
                                         "application/json");
                });
    m_server.on(
        "POST", "/v1/files", [this](const httplib::Request& request, httplib::Response& response) {
            // The part's file name, read straight from the multipart body.
            static const std::regex disposition("name=\"content\"; filename=\"([^\"]*)\"");
            std::smatch match;
            std::string name = "upload";
            if (std::regex_search(request.body, match, disposition))
                name = match[1];
            std::lock_guard lock(m_mutex);
            const std::string id = "f" + std::to_string(m_nextId++);
            m_uploads[id] = name;
            const std::string url = baseUrl().toString().toStdString() + "/v1/files/" + id;
            response.status = 201;
            response.set_content(
                "{\"id\":\"" + id + "\",\"name\":" + FakePredictionService::jsonString(name) +
                    ",\"content_type\":\"audio/mpeg\",\"size\":" +
                    std::to_string(request.body.size()) + ",\"urls\":{\"get\":\"" + url + "\"}}",
                "application/json");
        });
    m_server.on("DELETE", "/v1/files/([^/]+)",
                [this](const httplib::Request& request, httplib::Response& response) {
                    std::lock_guard lock(m_mutex);
                    m_deleted.push_back(request.matches[1]);
                    response.status = 204;
                });
}

void ManyFilesService::script(const std::string& fileName, Script script)
{
    std::lock_guard lock(m_mutex);
    m_scripts[fileName] = std::move(script);
}

void ManyFilesService::scriptEveryFile(Script script)
{
    std::lock_guard lock(m_mutex);
    m_defaultScript = std::move(script);
}

std::vector<qint64> ManyFilesService::createTimes() const
{
    std::lock_guard lock(m_mutex);
    return m_createTimes;
}

void ManyFilesService::start()
{
    m_server.start();
}

std::string ManyFilesService::fileNameOfAudio(const std::string& audio) const
{
    // An uploaded file is named by its upload; an address by its last part.
    static const std::regex uploaded(".*/v1/files/([^/?]+)$");
    std::smatch match;
    if (std::regex_match(audio, match, uploaded)) {
        const auto found = m_uploads.find(match[1]);
        if (found != m_uploads.end())
            return found->second;
    }
    const std::size_t slash = audio.find_last_of('/');
    return slash == std::string::npos ? audio : audio.substr(slash + 1);
}

std::string ManyFilesService::subtitlesFor(const std::string& fileName)
{
    return "WEBVTT\n00:00.000 --> 00:02.000\n Words of " + fileName + "\n";
}

std::string ManyFilesService::predictionBody(const std::string& id, const Prediction& prediction,
                                             bool created) const
{
    const Script script =
        m_scripts.count(prediction.fileName) ? m_scripts.at(prediction.fileName) : m_defaultScript;
    if (created)
        return FakePredictionService::prediction(id, "starting", 201).body;
    if (prediction.canceled)
        return FakePredictionService::prediction(id, "canceled").body;
    if (prediction.polls <= script.processingPolls || script.end == "hang")
        return FakePredictionService::processing(id).body;
    if (script.end == "failed")
        return FakePredictionService::failed(id, script.error).body;
    return FakePredictionService::succeeded(id, subtitlesFor(prediction.fileName)).body;
}

int ManyFilesService::acceptedCreates(const std::string& fileName) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_accepted.find(fileName);
    return found == m_accepted.end() ? 0 : found->second;
}

int ManyFilesService::refusedCreates(const std::string& fileName) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_refused.find(fileName);
    return found == m_refused.end() ? 0 : found->second;
}

std::vector<std::string> ManyFilesService::canceledPredictions() const
{
    std::lock_guard lock(m_mutex);
    return m_canceled;
}

std::vector<std::string> ManyFilesService::deletedFiles() const
{
    std::lock_guard lock(m_mutex);
    return m_deleted;
}

std::vector<std::string> ManyFilesService::uploadedFiles() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> ids;
    for (const auto& [id, name] : m_uploads)
        ids.push_back(id);
    return ids;
}

std::vector<std::string> ManyFilesService::createdPredictions() const
{
    std::lock_guard lock(m_mutex);
    return m_created;
}
