// Subtitles through the real main window: the standard form in the pane after a job, and
// File > Save by the extension the user picks.
#include "app/appform.h"

#include "subtitlesamples.h"
#include "support/recordingdesktop.h"
#include "transcription/conversionjob.h"
#include "transcription/subtitles.h"
#include "transcription/widgets/panefiller.h"
#include "transcriptiontesting.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

// The saved form of a text: byte-order mark, UTF-8, CR LF.
QByteArray savedBytes(const QString& text)
{
    QByteArray bytes = "\xEF\xBB\xBF" + text.toUtf8();
    bytes.replace("\n", "\r\n");
    return bytes;
}

class AppFormSubtitlesTest : public ::testing::Test {
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
            m_form->TimerChecker->stop();
            m_form->TimerReplicate->setInterval(24 * 3600 * 1000);
            m_form->TimerElapsed->setInterval(24 * 3600 * 1000);
            m_form->show();
        }
        return *m_form;
    }

    // A whole job against the fake: create, one poll answering with the subtitles.
    void convert(const std::string& subtitles, bool vtt)
    {
        service.scriptCreate({FakePredictionService::starting("p1")});
        service.scriptPolls("p1", {FakePredictionService::succeeded("p1", subtitles)});
        TAppForm& window = form();
        window.Edit1->setText(QStringLiteral("r8_key"));
        window.Edit3->setText(QStringLiteral("https://files.example/talk.mp3"));
        (vtt ? window.RadioButton1 : window.RadioButton2)->setChecked(true);
        window.ConvertUsingReplicate();
        ASSERT_TRUE(WaitFor([&] { return !window.conversionJob()->requestRunning(); }));
        window.TimerReplicateTimer();
        ASSERT_TRUE(WaitFor([&] { return !window.conversionJob()->requestRunning(); }));
        ASSERT_EQ(window.statusPanelText(0), QStringLiteral("Succeeded"));
    }

    QString save(const QString& name)
    {
        const QString path = folder.filePath(name);
        desktop.saveDialogAnswers.push_back(path);
        form().Save1Click();
        return path;
    }

    QTemporaryDir folder;
    FakePredictionService service;
    RecordingDesktop desktop;

private:
    std::unique_ptr<TAppForm> m_form;
};

TEST_F(AppFormSubtitlesTest, AJobInTheModelsStyleShowsTheStandardForm)
{
    convert(FakePredictionService::webVtt(), true);
    EXPECT_EQ(form().MemoReplicate->toPlainText(), golden("model_webvtt.vtt"));

    convert(FakePredictionService::subRip(), false);
    EXPECT_EQ(form().MemoReplicate->toPlainText(), golden("model_subrip.srt"));

    // Subtitles that are not in the chosen format are shown exactly as delivered.
    convert(FakePredictionService::webVtt(), false);
    EXPECT_EQ(form().MemoReplicate->toPlainText(),
              QString::fromStdString(FakePredictionService::webVtt()));
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(AppFormSubtitlesTest, SavingAWebVttPaneAsSrtWritesSubRip)
{
    convert(FakePredictionService::webVtt(), true);
    EXPECT_EQ(readAll(save(QStringLiteral("talk.srt"))),
              savedBytes(golden("model_webvtt_as_subrip.srt")));
    EXPECT_EQ(readAll(save(QStringLiteral("talk.vtt"))), savedBytes(golden("model_webvtt.vtt")));
    // .txt keeps the pane as it stands.
    EXPECT_EQ(readAll(save(QStringLiteral("talk.txt"))), savedBytes(golden("model_webvtt.vtt")));
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(form().statusPanelText(0), QStringLiteral("Succeeded"));
}

TEST_F(AppFormSubtitlesTest, ABrokenTimeLineIsSavedAsItStandsAndNamed)
{
    convert(FakePredictionService::webVtt(), true);
    QPlainTextEdit* pane = form().MemoReplicate;
    // The user breaks the second cue's time line (line 6).
    QString edited = pane->toPlainText();
    edited.replace(QStringLiteral("00:00:03.480 --> 00:00:07.120"),
                   QStringLiteral("00:00:03.480 --> 00:00:07.12O"));
    pane->setPlainText(edited);

    for (const char* name : {"broken.srt", "broken.vtt"}) {
        form().setStatusPanelText(0, QString());
        EXPECT_EQ(readAll(save(QLatin1String(name))), savedBytes(edited)) << name;
        EXPECT_EQ(form().statusPanelText(0),
                  QStringLiteral("Saved as it stands: line 6 is not valid WebVTT"))
            << name;
    }
    EXPECT_EQ(pane->toPlainText(), edited);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

// The file holds the pane's characters: a no-break space stays one (not a space), a line
// separator stays one (not a line break).
TEST_F(AppFormSubtitlesTest, SavingKeepsNoBreakSpacesAndLineSeparators)
{
    const QString text =
        QStringLiteral("WEBVTT\n\n00:00:01.000 --> 00:00:02.000\n10\u00A0km\u2028weit\n");
    form().MemoReplicate->setPlainText(text);
    EXPECT_EQ(readAll(save(QStringLiteral("talk.txt"))),
              QByteArray("\xEF\xBB\xBFWEBVTT\r\n\r\n00:00:01.000 --> 00:00:02.000\r\n"
                         "10\xC2\xA0km\xE2\x80\xA8weit\r\n"));
    EXPECT_EQ(
        readAll(save(QStringLiteral("talk.srt"))),
        QByteArray("\xEF\xBB\xBF"
                   "1\r\n00:00:01,000 --> 00:00:02,000\r\n10\xC2\xA0km\xE2\x80\xA8weit\r\n\r\n"));
}

// Save while a large result is still going into the pane: the file gets all of it.
TEST_F(AppFormSubtitlesTest, SavingWhileThePaneFillsWritesTheWholeText)
{
    TAppForm& window = form();
    auto* filler = window.findChild<PaneFiller*>();
    ASSERT_NE(filler, nullptr);
    const QString large = NormalizeSubtitles(ModelTalk(40000), SubtitleFormat::WebVtt);
    ASSERT_GT(large.size(), 3 * PaneFiller::kPieceLength);
    filler->setText(large);
    ASSERT_TRUE(filler->isFilling());

    const QString path = save(QStringLiteral("talk.vtt"));
    EXPECT_FALSE(filler->isFilling());
    EXPECT_EQ(readAll(path), savedBytes(large));
    EXPECT_EQ(window.MemoReplicate->toPlainText(), large);
    // The fill's queued pieces find nothing left to do.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.MemoReplicate->toPlainText(), large);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

} // namespace
