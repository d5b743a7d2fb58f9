// Shows the main window while a local recording goes up to the (fake) service and writes a
// picture of it: upload_window_preview OUTPUT.png [FOLDER], the recording made in FOLDER (a
// temporary folder when none is given) and removed again. The fake pauses half way through the
// upload, so the picture catches the progress in the status bar. Nothing leaves 127.0.0.1.
#include "app/appform.h"

#include "fakes/fakepredictionservice.h"
#include "support/recordingdesktop.h"
#include "transcription/conversionjob.h"
#include "transcriptiontesting.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: upload_window_preview OUTPUT.png [FOLDER]\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);

    QTemporaryDir folder;
    const QDir recordingFolder(argc > 2 ? QString::fromLocal8Bit(argv[2]) : folder.path());
    if (!recordingFolder.mkpath(QStringLiteral(".")))
        return 1;
    const QString recording =
        recordingFolder.filePath(QStringLiteral("Interview with Ana (part 1).mp3"));
    const auto removeRecording = qScopeGuard([&recording] { QFile::remove(recording); });
    {
        QFile file(recording);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        // Bytes enough for the progress to move visibly; the fake does not decode them.
        file.write(QByteArray(24 * 1024 * 1024, '\x5a'));
    }

    FakePredictionService service;
    FakeAnswer stalled;
    stalled.stallDuringUploadMs = 8000;
    service.scriptUploads({stalled});
    service.setKeepUploads(false);
    service.start();

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
    window.show();
    window.Edit1->setText(QStringLiteral("r8_preview"));

    desktop.openDialogAnswers.push_back(recording);
    window.Load1->trigger();
    window.Translate1->trigger();

    // Wait until the fake has stopped reading half way and the window says so. A plain
    // event loop, not a test wait: those sleep between turns and slow the upload down.
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        const QString panel = window.statusPanelText(0);
        if (panel.startsWith(QStringLiteral("Uploading... ")) &&
            panel.section(QLatin1Char(' '), 1).remove(QLatin1Char('%')).toInt() >= 25)
            loop.quit();
    });
    check.start(20);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    check.stop();
    // A little longer, for the clock beside the progress: the fake is still pausing.
    QTimer::singleShot(1200, &loop, &QEventLoop::quit);
    loop.exec();
    const QString panel = window.statusPanelText(0);
    const bool uploading = panel.startsWith(QStringLiteral("Uploading... "));
    if (!uploading || !window.grab().save(output)) {
        std::fprintf(stderr, "no upload in progress to show: %s\n",
                     qPrintable(window.statusPanelText(0)));
        return 1;
    }
    std::printf("%s: %s\n", qPrintable(output), qPrintable(window.statusPanelText(0)));
    window.conversionJob()->Stop();
    return 0;
}
