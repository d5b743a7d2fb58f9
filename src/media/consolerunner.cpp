#include "media/consolerunner.h"

#include "platform/mediaplatform.h"

#include <QElapsedTimer>
#include <QStringDecoder>

#include <exception>

namespace {

constexpr qint64 kReadSize = 16 * 1024;
constexpr int kPollMs = 20;

// A decoder that can tell whether bytes of an unfinished character are waiting in it.
class OutputDecoder final : public QStringDecoder {
public:
    OutputDecoder()
        : QStringDecoder(QStringDecoder::System)
    {
    }
    bool holdsUnfinishedCharacter() const { return state.remainingChars != 0; }
};

void appendClosingLines(ConsoleLog& log)
{
    log.appendLine(kConsoleCompleted);
    log.appendLine(kConsoleRule);
    log.appendLine(QString());
}

void readUntilEnd(ShellCommandChild& child, ConsoleLog& log,
                  const std::function<void()>& whileWaiting)
{
    // One decoder for the whole run keeps a character whose bytes straddle two reads whole.
    OutputDecoder decoder;
    QByteArray buffer(kReadSize, Qt::Uninitialized);
    QElapsedTimer sinceIdle;
    sinceIdle.start();
    const auto idle = [&] {
        if (whileWaiting && sinceIdle.elapsed() >= kPollMs) {
            whileWaiting();
            sinceIdle.restart();
        }
    };
    for (;;) {
        const qint64 count = child.read(buffer.data(), buffer.size(), kPollMs);
        if (count == 0)
            break;
        if (count > 0) {
            const QString text = decoder.decode(QByteArrayView(buffer.constData(), count));
            if (!text.isEmpty())
                log.appendText(text);
        }
        idle();
    }
    // Bytes of an unfinished character at the very end still show, as a replacement mark.
    if (decoder.holdsUnfinishedCharacter())
        log.appendText(QString(QChar::ReplacementCharacter));
    while (!child.waitForExit(kPollMs))
        idle();
}

} // namespace

void RunConsoleCommand(const QString& command, const QString& workingFolder, ConsoleLog& log,
                       const std::function<void()>& whileWaiting)
{
    log.appendLine(kConsoleBanner);
    try {
        ShellCommandChild child;
        if (child.start(command, workingFolder))
            readUntilEnd(child, log, whileWaiting);
    } catch (...) {
        // The closing lines come on every path; the error goes on to the caller.
        const std::exception_ptr error = std::current_exception();
        try {
            appendClosingLines(log);
        } catch (...) {
        }
        std::rethrow_exception(error);
    }
    appendClosingLines(log);
}
