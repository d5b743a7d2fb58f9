// Shows a long conversion's subtitles saved through the main window as a user saves them, and
// writes pictures of it: save_window_preview FOLDER. Against the fake service on 127.0.0.1, a
// 30-hour talk (40,000 cues, about 3 MB) fills the pane; a few keys are typed into a cue and
// File > Save writes FOLDER/talk.srt, which ffmpeg (when installed) reads back; then a time
// line is broken and File > Save writes FOLDER/broken.vtt as the pane stands, the status bar
// naming the line. Pictures: FOLDER/saved.png and FOLDER/saved-broken.png.
#include "app/appform.h"

#include "fakes/fakepredictionservice.h"
#include "subtitlesamples.h"
#include "support/recordingdesktop.h"
#include "transcription/conversionjob.h"
#include "transcription/widgets/panefiller.h"
#include "transcriptiontesting.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

// Turns the event loop until done() or the time is up; a plain loop, not a test wait.
bool waitUntil(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void typeInto(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// The cues ffmpeg reads from a subtitle file, -1 when it cannot; -2 without ffmpeg.
int ffmpegCues(const QString& path)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        return -2;
    QProcess process;
    process.start(ffmpeg,
                  {"-nostdin", "-hide_banner", "-loglevel", "error", "-i", path, "-f", "srt", "-"});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return -1;
    // Time lines only: the talk's cue text holds "-->" too.
    const QRegularExpression timeLine(QStringLiteral("^\\d+:\\d\\d:\\d\\d,\\d{3} --> "),
                                      QRegularExpression::MultilineOption);
    return int(QString::fromUtf8(process.readAllStandardOutput()).count(timeLine));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: save_window_preview FOLDER\n");
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    if (!output.mkpath(QStringLiteral(".")))
        return 1;

    FakePredictionService service;
    service.scriptCreate({FakePredictionService::starting("p1")});
    service.scriptPolls("p1",
                        {FakePredictionService::succeeded("p1", ModelTalk(40000).toStdString())});
    service.start();

    QTemporaryDir folder;
    RecordingDesktop desktop;
    AppEnvironment environment;
    environment.programFile = QCoreApplication::applicationFilePath();
    environment.programFolder = folder.filePath(QStringLiteral("program"));
    QDir().mkpath(environment.programFolder);
    environment.appDataBase = folder.filePath(QStringLiteral("appdata"));
    environment.endpoints = EndpointsFor(service);
    TAppForm window(environment, desktop);
    window.FormCreate();
    window.TimerChecker->stop();
    window.resize(900, 600);
    window.show();
    window.Edit1->setText(QStringLiteral("r8_preview"));
    window.Edit3->setText(QStringLiteral("https://files.example/talk.mp3"));
    window.RadioButton1->setChecked(true);
    window.Translate1->trigger();

    auto* filler = window.findChild<PaneFiller*>();
    const bool shown = waitUntil(
        [&] {
            return window.statusPanelText(0) == QStringLiteral("Succeeded") && filler &&
                   !filler->isFilling();
        },
        60000);
    if (!shown) {
        std::fprintf(stderr, "no subtitles shown: %s\n", qPrintable(window.statusPanelText(0)));
        return 1;
    }

    // A few words typed at the start of the first cue's text.
    QPlainTextEdit* pane = window.MemoReplicate;
    pane->setFocus();
    QTextCursor cursor = pane->document()->find(QStringLiteral("Cue 0 "));
    cursor.setPosition(cursor.selectionStart());
    pane->setTextCursor(cursor);
    typeInto(pane, QStringLiteral("(checked) "));

    const QString srt = output.filePath(QStringLiteral("talk.srt"));
    QFile::remove(srt);
    desktop.saveDialogAnswers.push_back(srt);
    window.Save1->trigger();
    const QString savedStatus = window.statusPanelText(0);
    window.grab().save(output.filePath(QStringLiteral("saved.png")));
    std::printf("talk.srt: %lld bytes, ffmpeg reads %d cues; status bar: %s\n",
                QFileInfo(srt).size(), ffmpegCues(srt), qPrintable(savedStatus));

    // The first time line broken, as a slip of the keyboard would break it.
    cursor = pane->document()->find(QStringLiteral("00:00:02.700 --> "));
    cursor.setPosition(cursor.selectionEnd() - 2);
    cursor.setPosition(cursor.selectionEnd() - 1, QTextCursor::KeepAnchor);
    pane->setTextCursor(cursor);
    typeInto(pane, QStringLiteral("-"));
    QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(pane, &backspace);

    const QString vtt = output.filePath(QStringLiteral("broken.vtt"));
    QFile::remove(vtt);
    desktop.saveDialogAnswers.push_back(vtt);
    window.Save1->trigger();
    window.grab().save(output.filePath(QStringLiteral("saved-broken.png")));
    std::printf("broken.vtt: %lld bytes; status bar: %s; messages shown: %lld\n",
                QFileInfo(vtt).size(), qPrintable(window.statusPanelText(0)),
                qlonglong(desktop.messages.size()));
    return 0;
}
