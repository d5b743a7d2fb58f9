// The conversion through the real main window: typed key and address, Convert, the fake
// service's answers, the pane, its menu and saving.
#include "app/appform.h"

#include "support/recordingdesktop.h"
#include "transcription/conversionjob.h"
#include "transcription/subtitles.h"
#include "transcription/textbytes.h"
#include "transcriptiontesting.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const QString kRequested =
    QStringLiteral("Requested. Please wait... (This may take up to 10 minutes)");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

// Types text key by key, non-ASCII characters included.
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

class AppFormConversionTest : public ::testing::Test {
protected:
    void SetUp() override { service.start(); }

    TAppForm& form()
    {
        if (!m_form) {
            AppEnvironment environment;
            environment.programFile = QCoreApplication::applicationFilePath();
            environment.programFolder = folder.path();
            environment.appDataBase = folder.filePath(QStringLiteral("appdata"));
            environment.endpoints = EndpointsFor(service);
            m_form = std::make_unique<TAppForm>(environment, desktop);
            m_form->FormCreate();
            // The update check is not ours; the job's ticks are driven by the test.
            m_form->TimerChecker->stop();
            m_form->TimerReplicate->setInterval(24 * 3600 * 1000);
            m_form->TimerElapsed->setInterval(24 * 3600 * 1000);
            m_form->conversionJob()->setClock([this] { return nowMs; });
            m_form->show();
        }
        return *m_form;
    }

    bool waitForRequest()
    {
        return WaitFor([&] { return !form().conversionJob()->requestRunning(); });
    }

    void typeInto(QLineEdit* field, const QString& text)
    {
        field->clear();
        QTest::keyClicks(field, text);
    }

    // A tick of the poll timer, a second after the previous one on the job's clock.
    void tick()
    {
        nowMs += 1000;
        form().TimerReplicateTimer();
        ASSERT_TRUE(waitForRequest());
    }

    QTemporaryDir folder;
    FakePredictionService service;
    RecordingDesktop desktop;
    qint64 nowMs = 1000000;

    // The program closes and starts again on the same folders.
    void restartForm() { m_form.reset(); }

private:
    std::unique_ptr<TAppForm> m_form;
};

TEST_F(AppFormConversionTest, ConvertPollSaveEndToEnd)
{
    FakeAnswer slowCreate = FakePredictionService::starting("p1");
    slowCreate.delayMs = 200;
    service.scriptCreate({slowCreate});
    service.scriptPolls("p1",
                        {FakePredictionService::processing("p1"),
                         FakePredictionService::succeeded("p1", FakePredictionService::webVtt())});
    TAppForm& window = form();
    typeInto(window.Edit1, QStringLiteral("r8_typed_key"));
    typeInto(window.Edit3, QStringLiteral("https://files.example/talk.mp3"));

    QTest::mouseClick(window.ToolButtonConvert, Qt::LeftButton);
    EXPECT_EQ(window.statusPanelText(0), QStringLiteral("Requesting..."));
    ASSERT_TRUE(window.conversionJob()->requestRunning());
    // The window takes no input while the request runs; what the user typed waits for it.
    QTest::keyClicks(window.Edit3, QStringLiteral("?x"));
    EXPECT_EQ(window.Edit3->text(), QStringLiteral("https://files.example/talk.mp3"));
    ASSERT_TRUE(waitForRequest());
    QCoreApplication::processEvents();
    EXPECT_EQ(window.Edit3->text(), QStringLiteral("https://files.example/talk.mp3?x"));

    EXPECT_EQ(window.statusPanelText(0), kRequested);
    EXPECT_FALSE(window.ToolButtonConvert->isEnabled());
    EXPECT_TRUE(window.TimerReplicate->isActive());
    EXPECT_TRUE(window.TimerElapsed->isActive());
    window.TimerElapsedTimer();
    EXPECT_EQ(window.statusPanelText(1), QStringLiteral("00:01"));

    tick();
    EXPECT_EQ(window.statusPanelText(0), QStringLiteral("Processing..."));
    tick();
    EXPECT_EQ(window.statusPanelText(0), QStringLiteral("Succeeded"));
    EXPECT_TRUE(window.ToolButtonConvert->isEnabled());
    EXPECT_FALSE(window.TimerReplicate->isActive());
    EXPECT_FALSE(window.TimerElapsed->isActive());
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_TRUE(desktop.messages.isEmpty());

    // The pane shows the model's subtitles in the standard form.
    const QString subtitles = NormalizeSubtitles(
        QString::fromStdString(FakePredictionService::webVtt()), SubtitleFormat::WebVtt);
    EXPECT_TRUE(subtitles.startsWith(QStringLiteral("WEBVTT\n\n00:00:00.000 --> 00:00:03.480\n")));
    EXPECT_EQ(window.MemoReplicate->toPlainText(), subtitles);
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].header("Authorization"), "Token r8_typed_key");
    EXPECT_NE(requests[0].body.find("\"audio_path\": \"https://files.example/talk.mp3\""),
              std::string::npos);
    EXPECT_NE(requests[0].body.find("\"format\": \"vtt\""), std::string::npos);

    // An edit in the pane, then File > Save through the toolbar button.
    window.MemoReplicate->moveCursor(QTextCursor::End);
    typeText(window.MemoReplicate, QStringLiteral("Tschüss"));
    const QString path = folder.filePath(QStringLiteral("talk.vtt"));
    desktop.saveDialogAnswers.push_back(path);
    QTest::mouseClick(window.ToolButton2, Qt::LeftButton);

    ASSERT_EQ(desktop.saveDialogFilters.size(), 1);
    EXPECT_EQ(desktop.saveDialogFilters[0],
              QStringList({"VTT File|*.vtt", "SRT File|*.srt", "TXT File|*.txt"}));
    EXPECT_EQ(desktop.saveDialogSuffixes[0], QStringLiteral("txt"));
    // The typed line ends the last cue; the file is standard WebVTT.
    QByteArray expected = "\xEF\xBB\xBF" + (subtitles + QStringLiteral("Tschüss\n")).toUtf8();
    expected.replace("\n", "\r\n");
    EXPECT_EQ(readAll(path), expected);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(AppFormConversionTest, TenMegabytesOfSubtitlesReachThePaneAndTheFile)
{
    const std::string large = FakePredictionService::largeWebVtt(10 * 1024 * 1024);
    service.scriptCreate({FakePredictionService::starting("p1")});
    service.scriptPolls("p1", {FakePredictionService::succeeded("p1", large)});
    TAppForm& window = form();
    window.Edit1->setText(QStringLiteral("r8_key"));
    window.ConvertUsingReplicate();
    ASSERT_TRUE(waitForRequest());
    tick();
    EXPECT_EQ(window.statusPanelText(0), QStringLiteral("Succeeded"));
    const QString expected =
        NormalizeSubtitles(QString::fromStdString(large), SubtitleFormat::WebVtt);
    ASSERT_NE(expected, QString::fromStdString(large));
    // Ten megabytes go into the pane by pieces; a loaded machine may take a while.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.MemoReplicate->document()->characterCount() == expected.size() + 1; },
        60000));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.MemoReplicate->toPlainText(), expected);

    const QString path = folder.filePath(QStringLiteral("large.vtt"));
    desktop.saveDialogAnswers.push_back(path);
    window.Save1Click();
    QByteArray bytes = "\xEF\xBB\xBF" + expected.toUtf8();
    bytes.replace("\n", "\r\n");
    EXPECT_EQ(readAll(path), bytes);
}

TEST_F(AppFormConversionTest, ARefusedKeyOpensTheCredentialsPanel)
{
    service.scriptCreate({FakePredictionService::problem(
        401, "Unauthenticated", "You did not pass a valid authentication token")});
    TAppForm& window = form();
    window.Edit1->setText(QStringLiteral("  r8_wrong \t"));
    window.ConvertUsingReplicate();
    ASSERT_TRUE(waitForRequest());
    // The key was trimmed in place, and the field saved it as trimmed.
    EXPECT_EQ(window.Edit1->text(), QStringLiteral("r8_wrong"));
    EXPECT_TRUE(
        readAll(window.DataFolder() + QStringLiteral("settings.ini")).contains("Key=r8_wrong\n"))
        << readAll(window.DataFolder() + QStringLiteral("settings.ini")).toStdString();
    EXPECT_EQ(service.requests().at(0).header("Authorization"), "Token r8_wrong");
    EXPECT_TRUE(window.Panel7->isVisibleTo(&window));
    EXPECT_TRUE(window.Settings1->isChecked());
    EXPECT_EQ(window.statusPanelText(0), QStringLiteral("Failed"));
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("WARNING"));
    EXPECT_TRUE(window.ToolButtonConvert->isEnabled());
    EXPECT_FALSE(window.TimerElapsed->isActive());
    EXPECT_FALSE(window.TimerReplicate->isActive());
}

TEST_F(AppFormConversionTest, SrtFailureAndLineBreaksInThePane)
{
    service.scriptCreate({FakePredictionService::starting("p1")});
    // A plain-text answer with every kind of line break (a proxy's page would be retried).
    service.scriptPolls(
        "p1", {FakePredictionService::raw(200, "text/plain",
                                          "Upstream error\r\nline 2\rline 3\nline 4\r\n")});
    TAppForm& window = form();
    window.Edit1->setText(QStringLiteral("r8_key"));
    window.RadioButton2->setChecked(true);
    window.ConvertUsingReplicate();
    ASSERT_TRUE(waitForRequest());
    EXPECT_NE(service.requests().at(0).body.find("\"format\": \"srt\""), std::string::npos);
    tick();
    // "Something is wrong!", CR CR, then the page: the pane splits at every kind of break.
    EXPECT_EQ(window.MemoReplicate->toPlainText(),
              QStringLiteral("Something is wrong!\n\nUpstream error\nline 2\nline 3\nline 4"));
    EXPECT_EQ(window.MemoReplicate->document()->blockCount(), 6); // the last break trimmed
    EXPECT_FALSE(window.MemoReplicate->toPlainText().contains(QLatin1Char('\r')));
    EXPECT_TRUE(window.ToolButtonConvert->isEnabled());
    EXPECT_TRUE(window.TimerReplicate->isActive());

    desktop.saveDialogAnswers.push_back(QString()); // cancelled
    window.Save1Click();
    ASSERT_EQ(desktop.saveDialogFilters.size(), 1);
    EXPECT_EQ(desktop.saveDialogFilters[0].first(), QStringLiteral("SRT File|*.srt"));
    EXPECT_TRUE(QDir(folder.path()).entryList({"*.srt", "*.vtt", "*.txt"}, QDir::Files).isEmpty());
}

TEST_F(AppFormConversionTest, AFailedSaveShowsTheErrorAndKeepsThePane)
{
    TAppForm& window = form();
    window.MemoReplicate->setPlainText(QStringLiteral("keep me"));
    const QString path = folder.filePath(QStringLiteral("missing/talk.vtt"));
    desktop.saveDialogAnswers.push_back(path);
    window.Save1Click();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("Parlotext"));
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(desktop.messages[0].text.contains(path));
    EXPECT_EQ(window.MemoReplicate->toPlainText(), QStringLiteral("keep me"));
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(AppFormConversionTest, AnEmptyPaneSavesTheByteOrderMarkOnly)
{
    TAppForm& window = form();
    window.MemoReplicate->clear();
    const QString path = folder.filePath(QStringLiteral("empty.txt"));
    desktop.saveDialogAnswers.push_back(path);
    window.Save1Click();
    EXPECT_EQ(readAll(path), QByteArray("\xEF\xBB\xBF"));
}

TEST_F(AppFormConversionTest, ThePaneMenuActsOnlyOnThePanesPage)
{
    TAppForm& window = form();
    const QList<QAction*> items = window.PopupMenu2->actions();
    ASSERT_EQ(items.size(), 8);
    EXPECT_EQ(items[0], window.U1);
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2], window.C1);
    EXPECT_EQ(items[3], window.C2);
    EXPECT_EQ(items[4], window.P1);
    EXPECT_EQ(items[5], window.D1);
    EXPECT_TRUE(items[6]->isSeparator());
    EXPECT_EQ(items[7], window.S1);
    EXPECT_EQ(window.S1->text(), QStringLiteral("Select All"));

    // A right click in the pane opens the menu.
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(10, 10),
                                 window.MemoReplicate->viewport()->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(window.MemoReplicate->viewport(), &rightClick);
    EXPECT_TRUE(window.PopupMenu2->isVisible());
    window.PopupMenu2->hide();

    window.MemoReplicate->setPlainText(QStringLiteral("line one\nline two"));
    auto* otherPage = new QWidget;
    window.PageControl2->addTab(otherPage, QStringLiteral("Other"));
    window.PageControl2->setCurrentIndex(1);
    window.S1->trigger();
    window.D1->trigger();
    EXPECT_EQ(window.MemoReplicate->toPlainText(), QStringLiteral("line one\nline two"));
    EXPECT_FALSE(window.MemoReplicate->textCursor().hasSelection());

    window.PageControl2->setCurrentIndex(0);
    window.S1->trigger();
    EXPECT_EQ(window.MemoReplicate->textCursor().selectedText().size(), 17);
    window.C2->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("line one\nline two"));
    window.D1->trigger();
    EXPECT_EQ(window.MemoReplicate->toPlainText(), QString());
    window.U1->trigger();
    EXPECT_EQ(window.MemoReplicate->toPlainText(), QStringLiteral("line one\nline two"));
    window.MemoReplicate->moveCursor(QTextCursor::End);
    window.P1->trigger();
    EXPECT_EQ(window.MemoReplicate->toPlainText(),
              QStringLiteral("line one\nline twoline one\nline two"));
}

TEST_F(AppFormConversionTest, AJobLeftRunningIsResumedByTheNextStart)
{
    service.scriptCreate({FakePredictionService::starting("p1")});
    service.scriptPolls("p1", {FakePredictionService::processing("p1")});
    form().Edit1->setText(QStringLiteral("r8_key"));
    form().ConvertUsingReplicate();
    ASSERT_TRUE(waitForRequest());
    tick();
    EXPECT_EQ(form().statusPanelText(0), QStringLiteral("Processing..."));

    restartForm();
    service.scriptPolls("p1",
                        {FakePredictionService::succeeded("p1", FakePredictionService::webVtt())});
    TAppForm& window = form();
    EXPECT_TRUE(
        window.statusPanelText(0).startsWith(QStringLiteral("Resumed the conversion started on ")));
    EXPECT_TRUE(window.TimerReplicate->isActive());
    EXPECT_FALSE(window.ToolButtonConvert->isEnabled());
    tick();
    EXPECT_EQ(window.statusPanelText(0), QStringLiteral("Succeeded"));
    EXPECT_EQ(window.MemoReplicate->toPlainText(),
              NormalizeSubtitles(QString::fromStdString(FakePredictionService::webVtt()),
                                 SubtitleFormat::WebVtt));
    int creates = 0;
    for (const RecordedRequest& request : service.requests())
        creates += request.method == "POST" && request.path == "/v1/predictions";
    EXPECT_EQ(creates, 1);

    // Nothing is left for a third start.
    restartForm();
    EXPECT_EQ(form().statusPanelText(0), QString());
    EXPECT_FALSE(form().TimerReplicate->isActive());
}

} // namespace
