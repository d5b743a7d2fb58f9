// A local recording through the real main window: a file made by the real ffmpeg, Load,
// Convert, the upload to the fake service over TLS, the subtitles in the pane, and nothing
// left behind; Stop half way.
#include "app/appform.h"

#include "support/recordingdesktop.h"
#include "transcription/conversionjob.h"
#include "transcriptiontesting.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// Makes a small recording with the real ffmpeg: a tone, and for a video a test picture.
bool makeMedia(const QString& path, bool video)
{
    QStringList arguments{QStringLiteral("-y"),
                          QStringLiteral("-loglevel"),
                          QStringLiteral("error"),
                          QStringLiteral("-f"),
                          QStringLiteral("lavfi"),
                          QStringLiteral("-i"),
                          QStringLiteral("sine=frequency=440:duration=1")};
    if (video)
        arguments << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
                  << QStringLiteral("testsrc=size=160x120:rate=10:duration=1")
                  << QStringLiteral("-c:v") << QStringLiteral("mpeg4");
    arguments << path;
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), arguments);
    return ffmpeg.waitForFinished(30000) && ffmpeg.exitCode() == 0 && QFileInfo(path).size() > 0;
}

class AppFormUploadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            GTEST_SKIP() << "ffmpeg is not installed";
        ASSERT_TRUE(QDir().mkpath(mediaFolder()));
    }

    QString mediaFolder() const { return folder.filePath(QStringLiteral("media")); }

    TAppForm& form()
    {
        if (!m_form) {
            service.start();
            AppEnvironment environment;
            environment.programFile = QCoreApplication::applicationFilePath();
            environment.programFolder = folder.filePath(QStringLiteral("program"));
            QDir().mkpath(environment.programFolder);
            environment.appDataBase = folder.filePath(QStringLiteral("appdata"));
            environment.endpoints = EndpointsFor(service);
            m_form = std::make_unique<TAppForm>(environment, desktop);
            m_form->FormCreate();
            m_form->TimerChecker->stop();
            m_form->TimerReplicate->setInterval(24 * 3600 * 1000);
            m_form->TimerElapsed->setInterval(24 * 3600 * 1000);
            m_form->show();
            m_form->Edit1->setText(QStringLiteral("r8_secret"));
        }
        return *m_form;
    }

    // Loads the file through File > Load Audio File..., as the user would.
    void load(const QString& path)
    {
        desktop.openDialogAnswers.push_back(path);
        form().Load1->trigger();
        ASSERT_EQ(form().Edit3->text(), path);
    }

    // Drives the poll timer until the job has ended.
    bool pollUntilEnded()
    {
        return WaitFor([&] {
            if (!form().conversionJob()->running())
                return true;
            if (form().TimerReplicate->isActive() && !form().conversionJob()->requestRunning())
                form().TimerReplicateTimer();
            return false;
        });
    }

    // The files in the data folder besides settings.ini: temporary files left behind.
    QStringList leftInDataFolder() const
    {
        QStringList names =
            QDir(m_form->DataFolder()).entryList(QDir::Files | QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral("settings.ini"));
        return names;
    }

    const RecordedRequest* firstRequest(const std::string& method, const std::string& prefix)
    {
        m_requests = service.requests();
        for (const RecordedRequest& request : m_requests)
            if (request.method == method && request.path.rfind(prefix, 0) == 0)
                return &request;
        return nullptr;
    }

    QTemporaryDir folder;
    FakePredictionService service;
    RecordingDesktop desktop;
    std::unique_ptr<TAppForm> m_form;
    std::vector<RecordedRequest> m_requests;
};

TEST_F(AppFormUploadTest, ALocalRecordingIsUploadedConvertedAndCleanedUp)
{
    struct Case {
        const char* name;
        bool video;
        const char* uploadedType;
    };
    for (const Case& c : {Case{"Café \"interview\" 1.mp3", false, "audio/mpeg"},
                          Case{"lecture clip.mp4", true, "audio/mpeg"}}) {
        SCOPED_TRACE(c.name);
        const QString path = QDir(mediaFolder()).filePath(QString::fromUtf8(c.name));
        ASSERT_TRUE(makeMedia(path, c.video));
        service.scriptCreate({FakePredictionService::starting("p1")});
        service.scriptPolls(
            "p1", {FakePredictionService::succeeded("p1", FakePredictionService::webVtt())});
        service.clearRequests();

        TAppForm& window = form();
        load(path);
        QStringList panels;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const QString text = window.statusPanelText(0);
            if (panels.isEmpty() || panels.last() != text)
                panels << text;
        });
        watch.start(1);
        window.Translate1->trigger();
        EXPECT_TRUE(window.ToolButton6->isVisible());
        EXPECT_TRUE(window.Stop1->isVisible() && window.Stop1->isEnabled());
        ASSERT_TRUE(pollUntilEnded()) << panels.join(QStringLiteral(" | ")).toStdString();
        watch.stop();

        EXPECT_TRUE(desktop.messages.isEmpty()) << desktop.messages.value(0).text.toStdString();
        EXPECT_TRUE(window.MemoReplicate->toPlainText().contains(QStringLiteral("Grüße aus Köln")))
            << panels.join(QStringLiteral(" | ")).toStdString();
        if (c.video) {
            EXPECT_TRUE(panels.join(QStringLiteral("|")).contains(QStringLiteral("Converting ")))
                << panels.join(QStringLiteral(" | ")).toStdString();
        }

        // The file went up once, and the prediction got its address.
        const auto files = service.files();
        ASSERT_FALSE(files.empty());
        const FakeStoredFile& uploaded = files.back();
        EXPECT_EQ(uploaded.contentType, c.uploadedType);
        EXPECT_GT(uploaded.size, 0u);
        const RecordedRequest* create = firstRequest("POST", "/v1/predictions");
        ASSERT_NE(create, nullptr);
        const QJsonObject input = QJsonDocument::fromJson(QByteArray::fromStdString(create->body))
                                      .object()
                                      .value(QStringLiteral("input"))
                                      .toObject();
        EXPECT_EQ(input.value(QStringLiteral("audio_path")).toString(),
                  service.baseUrl().toString() + QStringLiteral("/v1/files/") +
                      QString::fromStdString(uploaded.id));

        // Nothing left behind: the file deleted on the service, no temporary file here, the
        // Stop command gone again.
        // The job's record and its lock go once the service has confirmed the delete.
        EXPECT_TRUE(WaitFor([&] { return service.storedFileCount() == 0; }));
        EXPECT_TRUE(WaitFor([&] { return leftInDataFolder().isEmpty(); }))
            << leftInDataFolder().join(QStringLiteral(", ")).toStdString();
        EXPECT_FALSE(window.ToolButton6->isVisible());
        EXPECT_FALSE(window.Stop1->isVisible());
        EXPECT_TRUE(QFileInfo::exists(path)) << "the user's own file must stay";
    }
}

TEST_F(AppFormUploadTest, StopWhilePollingCancelsThePrediction)
{
    const QString path = QDir(mediaFolder()).filePath(QStringLiteral("talk.mp3"));
    ASSERT_TRUE(makeMedia(path, false));
    service.scriptCreate({FakePredictionService::starting("p7")});
    service.scriptPolls("p7", {FakePredictionService::processing("p7")});
    TAppForm& window = form();
    load(path);
    window.Translate1->trigger();
    ASSERT_TRUE(WaitFor([&] {
        return window.TimerReplicate->isActive() && !window.conversionJob()->requestRunning();
    }));
    ASSERT_TRUE(window.ToolButton6->isVisible());
    ASSERT_TRUE(window.ToolButton6->isEnabled());

    window.ToolButton6->click();
    window.ToolButton6->click(); // twice is harmless
    window.Stop1->trigger();
    ASSERT_TRUE(WaitFor([&] { return !window.conversionJob()->running(); }));
    EXPECT_EQ(window.statusPanelText(0), QStringLiteral("Canceled"));
    EXPECT_TRUE(desktop.messages.isEmpty()) << desktop.messages.value(0).text.toStdString();

    std::size_t cancels = 0;
    for (const RecordedRequest& request : service.requests())
        cancels += request.method == "POST" && request.path == "/v1/predictions/p7/cancel";
    EXPECT_EQ(cancels, 1u);
    EXPECT_TRUE(WaitFor([&] { return service.storedFileCount() == 0; }));
    EXPECT_FALSE(window.ToolButton6->isVisible());
    EXPECT_FALSE(window.Stop1->isVisible());
    EXPECT_TRUE(window.ToolButtonConvert->isEnabled());
}

TEST_F(AppFormUploadTest, StopDuringTheUploadLeavesNothingOnTheService)
{
    // A file the service reads slowly: half of it, then a pause.
    const QString path = QDir(mediaFolder()).filePath(QStringLiteral("long talk.mp3"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QByteArray piece(1 << 20, 'a');
        for (int i = 0; i < 24; ++i)
            file.write(piece);
    }
    FakeAnswer slow;
    slow.stallDuringUploadMs = 700;
    service.scriptUploads({slow});
    TAppForm& window = form();
    load(path);
    window.Translate1->trigger();
    ASSERT_TRUE(WaitFor(
        [&] { return window.statusPanelText(0).startsWith(QStringLiteral("Uploading... ")); }));
    ASSERT_TRUE(window.ToolButton6->isVisible());
    window.ToolButton6->click();
    ASSERT_TRUE(WaitFor([&] { return !window.conversionJob()->running(); }));
    EXPECT_EQ(window.statusPanelText(0), QStringLiteral("Canceled"));
    EXPECT_TRUE(desktop.messages.isEmpty()) << desktop.messages.value(0).text.toStdString();
    QTest::qWait(800);
    EXPECT_EQ(service.storedFileCount(), 0u);
    EXPECT_EQ(firstRequest("POST", "/v1/predictions"), nullptr);
    EXPECT_EQ(leftInDataFolder(), QStringList());
}

} // namespace
