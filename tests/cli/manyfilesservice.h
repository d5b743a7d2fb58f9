#pragma once

#include "fakes/fakehttpserver.h"

#include <QByteArray>
#include <QUrl>

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// The prediction service as a queue of many files meets it: each prediction answers by the
// name of the file it was made for (the last part of the audio address, or the name of an
// uploaded file), so that answers do not depend on the order in which the files start.
// Predictions go "starting", then "processing" once, then their scripted end. The fake also
// takes uploads, deletes and cancels, and records what it was asked.
class ManyFilesService {
public:
    struct Script {
        std::string end = "succeeded"; // "succeeded", "failed", or "hang" (processing forever)
        std::string error = "the model could not read the audio";
        int tooManyRequestsFirst = 0; // creates answered 429 before the one that is accepted
        int processingPolls = 1;      // polls answered "processing" before the end
    };

    ManyFilesService();

    void script(const std::string& fileName, Script script);
    void start();
    QUrl baseUrl() const { return m_server.baseUrl(); }
    std::vector<RecordedRequest> requests() const { return m_server.requests(); }

    // Accepted creates (201) and refused ones (429), by file name.
    int acceptedCreates(const std::string& fileName) const;
    int refusedCreates(const std::string& fileName) const;
    std::vector<std::string> canceledPredictions() const;
    std::vector<std::string> deletedFiles() const;
    std::vector<std::string> uploadedFiles() const; // file ids
    // The prediction ids created, in order.
    std::vector<std::string> createdPredictions() const;
    // When each accepted create arrived, in milliseconds of the steady clock.
    std::vector<qint64> createTimes() const;
    // Every file not scripted on its own follows this script.
    void scriptEveryFile(Script script);
    // The subtitles every succeeded prediction of that file delivers, as the model writes them.
    static std::string subtitlesFor(const std::string& fileName);

private:
    struct Prediction {
        std::string fileName;
        int polls = 0;
        bool canceled = false;
    };
    std::string fileNameOfAudio(const std::string& audio) const;
    std::string predictionBody(const std::string& id, const Prediction& prediction,
                               bool created) const;

    FakeHttpServer m_server;
    mutable std::mutex m_mutex;
    std::map<std::string, Script> m_scripts;
    std::map<std::string, int> m_accepted;
    std::map<std::string, int> m_refused;
    std::map<std::string, Prediction> m_predictions;
    std::vector<std::string> m_created;
    std::vector<qint64> m_createTimes;
    Script m_defaultScript;
    std::map<std::string, std::string> m_uploads; // file id -> file name
    std::vector<std::string> m_deleted;
    std::vector<std::string> m_canceled;
    int m_nextId = 1;
};
