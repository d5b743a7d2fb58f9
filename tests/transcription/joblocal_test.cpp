// Stop at every stage, and a conversion of a file on disk: the checks, ffmpeg, the upload,
// the cleanup.
#include "transcription/conversionjob.h"

#include "jobtesting.h"
#include "transcription/localsource.h"
#include "transcription/subtitles.h"
#include "transcription/transcoder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

const std::string kSubtitles = FakePredictionService::webVtt();
// What the pane shows of kSubtitles: their standard form.
QString shownSubtitles()
{
    return NormalizeSubtitles(QString::fromStdString(kSubtitles), SubtitleFormat::WebVtt);
}

class LocalJobTest : public JobTest {
public:
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = files.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // A one-second video with a tone, made by the real ffmpeg.
    QString makeVideo(const QString& name)
    {
        const QString path = files.filePath(name);
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {"-hide_banner", "-loglevel", "error", "-f", "lavfi", "-i",
                      "sine=frequency=440:duration=1", "-f", "lavfi", "-i",
                      "color=c=blue:size=64x64:duration=1", "-shortest", "-y", path});
        EXPECT_TRUE(ffmpeg.waitForFinished(30000));
        EXPECT_EQ(ffmpeg.exitCode(), 0) << ffmpeg.readAllStandardError().toStdString();
        return path;
    }

    static bool haveFfmpeg() { return !QStandardPaths::findExecutable("ffmpeg").isEmpty(); }

    QStringList temporaryAudio() const
    {
        return QDir(dataFolder.path()).entryList({"temp*"}, QDir::Files);
    }

    // Convert with the address field holding text, answered by p1 that succeeds.
    void convertLocal(const QString& field)
    {
        service.scriptCreate({FakePredictionService::starting("p1")});
        service.scriptPolls("p1", {FakePredictionService::processing("p1"),
                                   FakePredictionService::succeeded("p1", kSubtitles)});
        start();
        window.url = field;
        ASSERT_TRUE(job().ConvertUsingReplicate());
    }

    bool waitUntilPolling()
    {
        return WaitFor([&] { return window.pollTimer || !outcomes.isEmpty(); });
    }

    QTemporaryDir files;
};

TEST_F(LocalJobTest, StopWhilePollingCancelsOnceAndEndsCanceled)
{
    startWaiting({FakePredictionService::processing("p1")});
    QSignalSpy running(&job(), &ConversionJob::runningChanged);
    EXPECT_TRUE(job().running());
    tick();
    job().Stop();
    job().Stop(); // twice: harmless
    ASSERT_TRUE(WaitFor([&] { return !outcomes.isEmpty(); }));
    job().Stop(); // and after the end
    QTest::qWait(50);
    EXPECT_EQ(countRequests("POST", "/v1/predictions/p1/cancel"), 1);
    EXPECT_EQ(outcomes.size(), 1);
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Canceled);
    EXPECT_EQ(window.statePanel, QStringLiteral("Canceled"));
    EXPECT_TRUE(desktop.messages.isEmpty());
    expectIdle();
    EXPECT_FALSE(job().running());
    ASSERT_EQ(running.size(), 1);
    EXPECT_FALSE(running[0][0].toBool());
    tick();
    EXPECT_EQ(countRequests("GET", "/v1/predictions/p1"), 1); // no polling after the end
}

TEST_F(LocalJobTest, StopDuringTheCreateCancelsAsSoonAsThePredictionIsKnown)
{
    FakeAnswer slow = FakePredictionService::starting("p1");
    slow.delayMs = 300;
    service.scriptCreate({slow});
    service.scriptPolls("p1", {FakePredictionService::processing("p1")});
    start();
    ASSERT_TRUE(job().ConvertUsingReplicate());
    ASSERT_TRUE(job().requestRunning());
    job().Stop();
    ASSERT_TRUE(WaitFor([&] { return !outcomes.isEmpty(); }));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Canceled);
    EXPECT_EQ(countRequests("POST", "/v1/predictions/p1/cancel"), 1);
    EXPECT_EQ(countRequests("GET", "/v1/predictions/p1"), 0);
    EXPECT_EQ(window.statePanel, QStringLiteral("Canceled"));
    expectIdle();
}

TEST_F(LocalJobTest, StopDuringAPollWaitsForItThenCancels)
{
    FakeAnswer slow = FakePredictionService::processing("p1");
    slow.delayMs = 300;
    startWaiting({slow});
    nowMs += 1000;
    job().TimerReplicateTimer();
    ASSERT_TRUE(job().requestRunning());
    job().Stop();
    ASSERT_TRUE(WaitFor([&] { return !outcomes.isEmpty(); }));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Canceled);
    EXPECT_EQ(countRequests("POST", "/v1/predictions/p1/cancel"), 1);
    EXPECT_EQ(window.statePanel, QStringLiteral("Canceled"));
}

TEST_F(LocalJobTest, StopWhenNothingRunsDoesNothing)
{
    start();
    job().Stop();
    QTest::qWait(20);
    EXPECT_TRUE(service.requests().empty());
    EXPECT_TRUE(window.statePanels.isEmpty());
    EXPECT_TRUE(outcomes.isEmpty());
}

TEST_F(LocalJobTest, ACancelTheServiceRefusesStillEndsTheJobAndSaysSo)
{
    service.scriptCancel("p1", FakePredictionService::problem(500, "Internal", "Try later"));
    startWaiting({FakePredictionService::processing("p1")});
    job().Stop();
    ASSERT_TRUE(WaitFor([&] { return !outcomes.isEmpty(); }));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Canceled);
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("WARNING"));
    EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("Try later")));
    EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("may still be running")));
    expectIdle();
}

TEST_F(LocalJobTest, APredictionThatFinishedBeforeTheStopStillGivesItsSubtitles)
{
    service.scriptCancel("p1", FakePredictionService::succeeded("p1", kSubtitles));
    startWaiting({FakePredictionService::processing("p1")});
    job().Stop();
    ASSERT_TRUE(WaitFor([&] { return !outcomes.isEmpty(); }));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Succeeded);
    EXPECT_EQ(window.pane, shownSubtitles());
}

TEST(LocalSource, WhatTheAddressFieldNames)
{
    const struct {
        QString input;
        std::optional<QString> path;
    } cases[] = {
        {QStringLiteral("https://files.example/talk.mp3"), std::nullopt},
        {QStringLiteral("HTTP://files.example/talk.mp3"), std::nullopt},
        {QStringLiteral("ftp://files.example/talk.mp3"), std::nullopt},
        {QStringLiteral("   "), std::nullopt}, // blanks go to the service, as always
        {QStringLiteral("/home/ann/Café interview.mp3"),
         QStringLiteral("/home/ann/Café interview.mp3")},
        {QStringLiteral("talk \"1\".mp3"), QStringLiteral("talk \"1\".mp3")},
        {QStringLiteral("file:///home/ann/Caf%C3%A9%20interview.mp3"),
         QStringLiteral("/home/ann/Café interview.mp3")},
        {QStringLiteral("FILE:///tmp/a.mp3"), QStringLiteral("/tmp/a.mp3")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LocalPathFromInput(c.input), c.path) << c.input.toStdString();
}

TEST(LocalSource, VideoByExtension)
{
    EXPECT_TRUE(LooksLikeVideo(QStringLiteral("/a/Lecture.MP4")));
    EXPECT_TRUE(LooksLikeVideo(QStringLiteral("clip.mkv")));
    EXPECT_TRUE(LooksLikeVideo(QStringLiteral("clip.webm")));
    EXPECT_FALSE(LooksLikeVideo(QStringLiteral("talk.mp3")));
    EXPECT_FALSE(LooksLikeVideo(QStringLiteral("talk.wav")));
    EXPECT_FALSE(LooksLikeVideo(QStringLiteral("mp4")));
}

TEST(Transcoder, TheLastErrorLineIsTheLastOneWithText)
{
    EXPECT_EQ(LastErrorLine("first\nnotes.mp4: Invalid data found when processing input\n\n"),
              QStringLiteral("notes.mp4: Invalid data found when processing input"));
    EXPECT_EQ(LastErrorLine("size=1kB time=00:00:01\rsize=2kB time=00:00:02\r\n"),
              QStringLiteral("size=2kB time=00:00:02"));
    EXPECT_EQ(LastErrorLine(""), QString());
}

struct BadFile {
    const char* name;
    std::function<QString(LocalJobTest&)> make;
    const char* says;
};

void PrintTo(const BadFile& c, std::ostream* os)
{
    *os << c.name;
}

class BadFileTest : public LocalJobTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadFileTest, IsRefusedWithABoxNamingItAndNothingIsSent)
{
    start();
    window.url = GetParam().make(*this);
    if (window.url.isEmpty())
        GTEST_SKIP() << "running as root: every file is readable";
    EXPECT_FALSE(job().ConvertUsingReplicate());
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("WARNING"));
    EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("Café \"talk\"")))
        << desktop.messages[0].text.toStdString();
    EXPECT_TRUE(desktop.messages[0].text.contains(QString::fromUtf8(GetParam().says)))
        << desktop.messages[0].text.toStdString();
    EXPECT_EQ(window.focus, QStringLiteral("audio"));
    QTest::qWait(20);
    EXPECT_TRUE(service.requests().empty());
    EXPECT_FALSE(job().running());
    EXPECT_TRUE(outcomes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadFileTest,
    ::testing::Values(
        BadFile{"missing",
                [](LocalJobTest& t) { return t.files.filePath("Café \"talk\" missing.mp3"); },
                "does not exist"},
        BadFile{
            "missing as a file URL",
            [](LocalJobTest& t) {
                return QUrl::fromLocalFile(t.files.filePath("Café \"talk\" gone.mp3")).toString();
            },
            "does not exist"},
        BadFile{"empty", [](LocalJobTest& t) { return t.writeFile("Café \"talk\".mp3", {}); },
                "is empty"},
        BadFile{"folder",
                [](LocalJobTest& t) {
                    const QString path = t.files.filePath("Café \"talk\".mp3");
                    QDir().mkpath(path);
                    return path;
                },
                "is a folder"},
        BadFile{"unreadable",
                [](LocalJobTest& t) {
                    if (::geteuid() == 0)
                        return QString();
                    const QString path = t.writeFile("Café \"talk\".mp3", "ID3 audio");
                    QFile::setPermissions(path, QFileDevice::WriteOwner);
                    return path;
                },
                "cannot be read"}));

TEST_F(LocalJobTest, ALocalAudioFileIsUploadedConvertedAndDeletedFromTheService)
{
    const QByteArray audio(200000, '\x5a');
    const QString path = writeFile(QStringLiteral("Café \"talk\" 1.mp3"), audio);
    convertLocal(QUrl::fromLocalFile(path).toString());
    ASSERT_TRUE(waitUntilPolling());
    EXPECT_TRUE(window.statePanels.contains(QStringLiteral("Uploading... 0%")));
    EXPECT_TRUE(window.statePanels.contains(QStringLiteral("Uploading... 100%")));
    ASSERT_TRUE(tickUntilEnded(10));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Succeeded);
    EXPECT_EQ(window.pane, shownSubtitles());

    const auto stored = service.files();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].content, audio.toStdString());
    EXPECT_EQ(QString::fromStdString(stored[0].name), QStringLiteral("Café %22talk%22 1.mp3"));
    // The prediction was made on the uploaded file's address.
    const auto requests = service.requests();
    const auto create = std::find_if(requests.begin(), requests.end(), [](const auto& r) {
        return r.method == "POST" && r.path == "/v1/predictions";
    });
    ASSERT_NE(create, requests.end());
    EXPECT_NE(create->body.find("/v1/files/" + stored[0].id + "\""), std::string::npos);
    ASSERT_TRUE(WaitFor([&] { return service.storedFileCount() == 0; }));
    EXPECT_EQ(creates(), 1);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(LocalJobTest, AVideoIsTurnedIntoAudioFirstAndNoTemporaryFileIsLeft)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const QString video = makeVideo(QStringLiteral("lecture 1.mp4"));
    convertLocal(video);
    ASSERT_TRUE(waitUntilPolling());
    EXPECT_TRUE(window.statePanels.contains(QStringLiteral("Converting lecture 1.mp4...")));
    ASSERT_TRUE(tickUntilEnded(10));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Succeeded);
    const auto stored = service.files();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].contentType, "audio/mpeg");
    const std::string& mp3 = stored[0].content;
    ASSERT_GT(mp3.size(), 1000u);
    // An ID3 tag or an MPEG audio frame, not the video's container.
    EXPECT_TRUE(mp3.rfind("ID3", 0) == 0 || (static_cast<unsigned char>(mp3[0]) == 0xff))
        << mp3.substr(0, 8);
    EXPECT_TRUE(temporaryAudio().isEmpty()) << temporaryAudio().join(' ').toStdString();
    ASSERT_TRUE(WaitFor([&] { return service.storedFileCount() == 0; }));
}

TEST_F(LocalJobTest, WithTheOptionOffAVideoIsUploadedAsItIs)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const QString video = makeVideo(QStringLiteral("clip.mp4"));
    window.videoToAudio = false;
    convertLocal(video);
    ASSERT_TRUE(waitUntilPolling());
    ASSERT_TRUE(tickUntilEnded(10)) << window.statePanels.join('|').toStdString();
    ASSERT_EQ(service.files().size(), 1u);
    EXPECT_EQ(service.files()[0].name, "clip.mp4");
    EXPECT_EQ(service.files()[0].contentType, "video/mp4");
}

TEST_F(LocalJobTest, WithoutFfmpegAVideoEndsWithHowToInstallIt)
{
    const QString video = writeFile(QStringLiteral("clip.mp4"), QByteArray(1000, 'v'));
    QTemporaryDir emptyFolder;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", emptyFolder.path().toLocal8Bit());
    start();
    window.url = video;
    const bool started = job().ConvertUsingReplicate(); // the program's folder has no ffmpeg
    qputenv("PATH", path);
    EXPECT_TRUE(started);
    ASSERT_EQ(outcomes.size(), 1);
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Failed);
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("ERROR"));
    EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("apt install ffmpeg")));
    EXPECT_EQ(window.statePanel, QStringLiteral("Failed"));
    QTest::qWait(20);
    EXPECT_TRUE(service.requests().empty());
    expectIdle();
}

TEST_F(LocalJobTest, AVideoFfmpegCannotReadShowsItsLastErrorLine)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const QString notMedia = writeFile(QStringLiteral("notes.mp4"), "just some text\n");
    start();
    window.url = notMedia;
    ASSERT_TRUE(job().ConvertUsingReplicate());
    ASSERT_TRUE(WaitFor([&] { return !outcomes.isEmpty(); }));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Failed);
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("Invalid data found")))
        << desktop.messages[0].text.toStdString();
    EXPECT_TRUE(temporaryAudio().isEmpty());
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(LocalJobTest, StopDuringTheConversionEndsFfmpeg)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const QString video = makeVideo(QStringLiteral("clip.mp4"));
    start();
    window.url = video;
    ASSERT_TRUE(job().ConvertUsingReplicate());
    job().Stop();
    job().Stop();
    ASSERT_TRUE(WaitFor([&] { return !outcomes.isEmpty(); }));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Canceled);
    EXPECT_EQ(window.statePanel, QStringLiteral("Canceled"));
    EXPECT_TRUE(temporaryAudio().isEmpty());
    QTest::qWait(20);
    EXPECT_TRUE(service.requests().empty());
    expectIdle();
}

TEST_F(LocalJobTest, ClosingTheProgramDuringTheConversionLeavesNoTemporaryFile)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const QString video = makeVideo(QStringLiteral("clip.mp4"));
    start();
    window.url = video;
    ASSERT_TRUE(job().ConvertUsingReplicate());
    EXPECT_EQ(temporaryAudio().size(), 1);
    m_job.reset();
    EXPECT_TRUE(temporaryAudio().isEmpty());
    QTest::qWait(20);
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(LocalJobTest, StopDuringTheUploadAbortsItAndNothingIsCreated)
{
    FakeAnswer slow = FakePredictionService::problem(500, "Slow", "never seen");
    slow.delayMs = 2000;
    service.scriptUploads({slow});
    const QString path = writeFile(QStringLiteral("talk.mp3"), QByteArray(100000, 'a'));
    start();
    window.url = path;
    ASSERT_TRUE(job().ConvertUsingReplicate());
    ASSERT_TRUE(WaitFor([&] { return countRequests("POST", "/v1/files") == 1; }));
    job().Stop();
    ASSERT_TRUE(WaitFor([&] { return !outcomes.isEmpty(); }));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Canceled);
    EXPECT_EQ(window.statePanel, QStringLiteral("Canceled"));
    EXPECT_EQ(creates(), 0);
    EXPECT_TRUE(desktop.messages.isEmpty());
    expectIdle();
}

struct UploadFailure {
    const char* name;
    FakeAnswer answer;
    const char* says;
};

void PrintTo(const UploadFailure& c, std::ostream* os)
{
    *os << c.name;
}

class UploadFailureTest : public LocalJobTest,
                          public ::testing::WithParamInterface<UploadFailure> {};

TEST_P(UploadFailureTest, IsReportedWithTheServicesDetailAndNothingIsCreated)
{
    service.scriptUploads({GetParam().answer});
    const QString path = writeFile(QStringLiteral("talk.mp3"), QByteArray(5000, 'a'));
    start();
    window.url = path;
    ASSERT_TRUE(job().ConvertUsingReplicate());
    ASSERT_TRUE(WaitFor([&] { return !outcomes.isEmpty(); }));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Failed);
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(desktop.messages[0].text.contains(QString::fromUtf8(GetParam().says)))
        << desktop.messages[0].text.toStdString();
    EXPECT_EQ(window.statePanel, QStringLiteral("Failed"));
    EXPECT_EQ(creates(), 0);
    expectIdle();
    EXPECT_FALSE(window.busyCursor);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UploadFailureTest,
    ::testing::Values(
        UploadFailure{"server error",
                      FakePredictionService::problem(500, "Internal", "Storage is down"),
                      "Storage is down"},
        UploadFailure{"unauthorized",
                      FakePredictionService::problem(401, "Unauthenticated", "Bad token"),
                      "Invalid API Key!"},
        UploadFailure{"too large", FakePredictionService::problem(413, "Too large", "Max 100MB"),
                      "Max 100MB"},
        UploadFailure{"proxy page", FakePredictionService::htmlPage(502, "502 Bad Gateway"),
                      "HTTP response code: 502"}));

} // namespace
