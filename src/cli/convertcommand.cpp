#include "cli/convertcommand.h"

#include "cli/interruptwatcher.h"
#include "transcription/conversionqueue.h"
#include "transcription/subtitletarget.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <vector>

QString PrintableText(const QString& text)
{
    QString printable;
    printable.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == u'\n')
            printable += QLatin1String("\\n");
        else if (code == u'\r')
            printable += QLatin1String("\\r");
        else if (code == u'\t')
            printable += QLatin1String("\\t");
        else if (code < 0x20 || code == 0x7f)
            printable += QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
        else
            printable += c;
    }
    return printable;
}

namespace {

// What is reported of a row: its state without the changing numbers.
QString reportedState(const QueueItem& item)
{
    if (item.state == QueueState::Running && !item.throttled)
        return item.uploadPercent >= 0 ? QStringLiteral("uploading") : QStringLiteral("processing");
    return QueueStateText(item);
}

} // namespace

QString OutputFolderProblem(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return QStringLiteral("the output folder \"%1\" does not exist").arg(PrintableText(folder));
    if (!info.isDir())
        return QStringLiteral("\"%1\" is not a folder").arg(PrintableText(folder));
    if (!info.isWritable())
        return QStringLiteral("the output folder \"%1\" is not writable")
            .arg(PrintableText(folder));
    return {};
}

int RunConvertCommand(const CommandLine& line, const ConvertSetup& setup, QTextStream& out,
                      QTextStream& err)
{
    const QString program = QStringLiteral("parlotext: ");
    if (!line.outputFolder.isEmpty()) {
        const QString problem = OutputFolderProblem(line.outputFolder);
        if (!problem.isEmpty()) {
            err << program << problem << Qt::endl;
            return ExitBadUsage;
        }
    }
    for (const QString& source : line.repeated)
        err << program << PrintableText(source) << ": named more than once; converted once"
            << Qt::endl;

    QueueOptions options;
    options.apiKey = setup.apiKey;
    options.modelName = line.modelName;
    options.vtt = line.vtt;
    options.outputFolder =
        line.outputFolder.isEmpty() ? QString() : QDir(line.outputFolder).absolutePath();
    options.overwrite = line.overwrite;
    options.pollIntervalMs = setup.pollIntervalMs;
    options.clockIntervalMs = setup.clockIntervalMs;
    options.clock = setup.clock;
    options.jobClock = setup.clock;
    ConversionQueue queue(setup.endpoints, options);
    for (const QString& source : line.sources)
        queue.add(source);

    const int total = queue.count();
    std::vector<QString> reported(static_cast<std::size_t>(total));
    const auto label = [&](int row) {
        return QStringLiteral("[%1/%2] ").arg(row + 1).arg(total) +
               PrintableText(SourceDisplayName(queue.item(row).source));
    };
    QObject::connect(&queue, &ConversionQueue::itemChanged, &queue, [&](int row) {
        const QueueItem& item = queue.item(row);
        const QString state = reportedState(item);
        if (reported[static_cast<std::size_t>(row)] == state)
            return;
        reported[static_cast<std::size_t>(row)] = state;
        if (item.state == QueueState::Done)
            err << program << label(row) << ": done, " << PrintableText(item.outputPath)
                << Qt::endl;
        else
            err << program << label(row) << ": " << PrintableText(state) << Qt::endl;
        if (item.state == QueueState::Done)
            out << PrintableText(item.outputPath) << Qt::endl;
    });

    QEventLoop loop;
    bool interrupted = false;
    QTimer grace;
    grace.setSingleShot(true);
    QObject::connect(&grace, &QTimer::timeout, &loop, [&] {
        err << program << "the service did not confirm every cancel; giving up" << Qt::endl;
        loop.quit();
    });
    InterruptWatcher watcher;
    QObject::connect(&watcher, &InterruptWatcher::interrupted, &loop, [&] {
        if (interrupted) {
            // A second Ctrl+C: the user will not wait for the service.
            err << program << "interrupted again; leaving without waiting" << Qt::endl;
            loop.quit();
            return;
        }
        interrupted = true;
        err << program << "interrupted; canceling the running conversions..." << Qt::endl;
        grace.start(setup.cancelGraceMs);
        queue.stop();
    });
    QObject::connect(&queue, &ConversionQueue::finished, &loop, &QEventLoop::quit);
    queue.start();
    if (queue.isActive())
        loop.exec();

    int failed = 0;
    for (int row = 0; row < total; ++row) {
        if (queue.item(row).state != QueueState::Done)
            ++failed;
    }
    if (interrupted) {
        err << program << "interrupted; " << (total - failed) << " of " << total << " converted"
            << Qt::endl;
        return ExitInterrupted;
    }
    if (failed > 0) {
        err << program << failed << " of " << total << " failed:" << Qt::endl;
        for (int row = 0; row < total; ++row) {
            const QueueItem& item = queue.item(row);
            if (item.state != QueueState::Done)
                err << program << "  " << PrintableText(item.source) << ": "
                    << PrintableText(QueueStateText(item)) << Qt::endl;
        }
        return ExitSomeFailed;
    }
    return ExitAllConverted;
}
