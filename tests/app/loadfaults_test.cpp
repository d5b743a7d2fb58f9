// The whole program at once against services that answer slowly, with garbage and with
// dropped connections, closed while its requests are still running.
#include "app/appform.h"

#include "services/check.h"
#include "services/widgets/feedback.h"
#include "support/recordingdesktop.h"
#include "transcription/conversionjob.h"
#include "transcription/transcriptiontesting.h"

#include "../services/servicetestsupport.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Behaviour = FakeMakerService::Behaviour;

const QByteArray kSettingsBefore = "[Settings]\nKey=r8_before\nLanguage=English.lang.txt\n"
                                   "[Other]\nKeep=1\n";

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(LoadAndFaults, NothingIsLostAndTheProgramClosesAtOnceMidRequest)
{
    QTemporaryDir folder;
    const QString settingsPath = folder.filePath(QStringLiteral("settings.ini"));
    {
        QFile file(settingsPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kSettingsBefore);
    }

    // The maker's service: the secure host drops every answer half way, the plain one
    // answers garbage, slowly.
    FakeMakerService maker;
    maker.secureBehaviour = Behaviour::CutOff;
    maker.plainBehaviour = Behaviour::Slow;
    maker.delayMs = 2000;
    maker.checkReply = std::string("\x01\xff<version>9", 11) + "\r\n<url>";
    maker.feedbackReply = std::string("\xfe\x00OK?", 5);
    maker.start();

    // The prediction service: garbage, then a dropped connection, then slow answers.
    FakePredictionService prediction;
    FakeAnswer dropped = FakePredictionService::starting("p1");
    dropped.dropConnection = true;
    FakeAnswer slowCreate = FakePredictionService::starting("p1");
    slowCreate.delayMs = 300;
    FakeAnswer slowPoll = FakePredictionService::processing("p1");
    slowPoll.delayMs = 1500;
    prediction.scriptCreate(
        {FakePredictionService::raw(201, "application/json", "\x00{\"id\": [}garbage"), dropped,
         slowCreate});
    prediction.scriptPolls("p1", {slowPoll});
    prediction.start();

    Endpoints endpoints = EndpointsFor(maker);
    endpoints.replicateApi = prediction.baseUrl();

    RecordingDesktop desktop;
    AppEnvironment environment;
    environment.programFile = QCoreApplication::applicationFilePath();
    environment.programFolder = folder.path();
    environment.appDataBase = folder.filePath(QStringLiteral("appdata"));
    environment.endpoints = endpoints;
    auto form = std::make_unique<TAppForm>(environment, desktop);
    UpdateCheckEnvironment& check = form->updateCheckEnvironment();
    const QString storePath = folder.filePath(QStringLiteral("store.ini"));
    check.openSettings = [storePath] {
        return std::make_unique<QSettings>(storePath, QSettings::IniFormat);
    };
    check.machineGuid = [] {
        return QStringLiteral("4f1c2a9be0d34c55a1b2c3d4e5f60718");
    };
    check.timeoutMs = 1000;
    form->feedbackTimeoutMs = 1000;
    form->FormCreate();
    // The test ticks the timers itself.
    form->TimerChecker->stop();
    form->TimerReplicate->setInterval(24 * 3600 * 1000);
    form->TimerElapsed->setInterval(24 * 3600 * 1000);
    form->show();

    // The update check starts on its thread and stays in flight.
    form->TimerCheckerTimer();
    ASSERT_TRUE(form->updateCheck()->isStarted());

    form->FocusReplicateAPIKey();
    form->Edit1->clear();
    QTest::keyClicks(form->Edit1, QStringLiteral("r8_load"));
    form->Edit3->setText(QStringLiteral("https://files.example/talk.mp3"));

    // Two conversions that fail: an answer of garbage, a connection dropped mid-answer.
    for (int attempt = 0; attempt < 2; ++attempt) {
        QTest::mouseClick(form->ToolButtonConvert, Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return !form->conversionJob()->requestRunning(); }));
        QCoreApplication::processEvents();
        form->ToolButtonConvert->setEnabled(true);
    }
    // A third that gets going, with a slow poll in flight.
    QTest::mouseClick(form->ToolButtonConvert, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !form->conversionJob()->requestRunning(); }));
    form->TimerReplicateTimer();
    EXPECT_TRUE(form->conversionJob()->requestRunning());

    // Feedback sent meanwhile: its secure attempt is cut off, its plain one is slow.
    form->SendFeedback1->trigger();
    const auto feedbackWindows = form->findChildren<TFeedbackForm*>();
    ASSERT_EQ(feedbackWindows.size(), 1);
    TFeedbackForm* feedback = feedbackWindows[0];
    feedback->Memo1->setPlainText(QStringLiteral("Works well under load."));
    QTest::mouseClick(feedback->BitBtn1, Qt::LeftButton);
    EXPECT_TRUE(feedback->isSending());
    QTest::qWait(100); // the requests are on their way

    // The program closes with all three requests running.
    QElapsedTimer closing;
    closing.start();
    form->close();
    form.reset();
    const qint64 closeMs = closing.elapsed();
    EXPECT_LT(closeMs, 1000);

    // Late answers and ending threads find nothing freed to touch.
    QTest::qWait(200);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // settings.ini holds every value, the key as last typed, and the running conversion's
    // record (so that the next start resumes it), and nothing else.
    QByteArray expected = kSettingsBefore;
    expected.replace("Key=r8_before", "Key=r8_load");
    QByteArray written = readAll(settingsPath);
    const QRegularExpression started(QStringLiteral("^Started=\\d{4}-\\d\\d-\\d\\dT[\\d:]{8}Z$"),
                                     QRegularExpression::MultilineOption);
    EXPECT_TRUE(started.match(QString::fromUtf8(written)).hasMatch()) << written.toStdString();
    written =
        QString::fromUtf8(written).replace(started, QStringLiteral("Started=<time>")).toUtf8();
    expected += "[Job]\nStarted=<time>\nFileId=\nPredictionId=p1\n";
    EXPECT_EQ(written, expected);
    const QStringList leftovers =
        QDir(folder.path())
            .entryList({QStringLiteral("settings.ini*")}, QDir::Files | QDir::Hidden);
    EXPECT_EQ(leftovers, QStringList{QStringLiteral("settings.ini")});
}

} // namespace
