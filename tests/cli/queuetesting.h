#pragma once

#include "core/endpoints.h"
#include "manyfilesservice.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <functional>
#include <memory>

// Endpoints whose prediction service is the fake, trusted through the test authority.
inline Endpoints EndpointsFor(const ManyFilesService& service)
{
    Endpoints endpoints = Endpoints::compiledIn();
    endpoints.replicateApi = service.baseUrl();
    endpoints.extraCaCertificates = FakeHttpServer::testCaCertificates();
    return endpoints;
}

// A clock for the queue and its jobs that runs fifty times faster than the real one, so
// that a second between polls, or a wait the service asks for, passes in 20 ms.
inline std::function<qint64()> QuickJobClock()
{
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    return [started] {
        return started->elapsed() * 50;
    };
}

// A small recording-like file (the fake never decodes it).
inline QString MakeAudioFile(const QDir& folder, const QString& name)
{
    QFile file(folder.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray("ID3\x03\x00 audio of ") + name.toUtf8());
    return file.fileName();
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

// The five files of a folder as a user might drop them: two that convert, one that is
// gone, one the model fails on, one the service first refuses for too many requests.
struct FiveFiles {
    QStringList paths;
    static constexpr const char* kFailError = "the model could not read the audio";

    FiveFiles(const QDir& folder, ManyFilesService& service)
    {
        ManyFilesService::Script failing;
        failing.end = "failed";
        failing.error = kFailError;
        service.script("c-fails.mp3", failing);
        ManyFilesService::Script throttled;
        throttled.tooManyRequestsFirst = 1;
        service.script("d-throttled.mp3", throttled);
        paths = {MakeAudioFile(folder, QStringLiteral("a-talk.mp3")),
                 folder.filePath(QStringLiteral("b-missing.mp3")),
                 MakeAudioFile(folder, QStringLiteral("c-fails.mp3")),
                 MakeAudioFile(folder, QStringLiteral("d-throttled.mp3")),
                 MakeAudioFile(folder, QStringLiteral("e-talk.mp3"))};
    }
};
