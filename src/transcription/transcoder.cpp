#include "transcription/transcoder.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QProcess>

QString LastErrorLine(const QByteArray& output)
{
    const QList<QByteArray> lines = output.split('\n');
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        // A progress line is overwritten after a CR; the last piece written is the one seen.
        const QList<QByteArray> pieces = line->split('\r');
        for (auto piece = pieces.crbegin(); piece != pieces.crend(); ++piece) {
            if (!piece->trimmed().isEmpty())
                return QString::fromUtf8(piece->trimmed());
        }
    }
    return {};
}

Transcoder::Transcoder(QObject* parent)
    : QObject(parent)
{
}

Transcoder::~Transcoder()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(3000);
    }
}

bool Transcoder::running() const
{
    return m_process != nullptr;
}

void Transcoder::start(const QString& ffmpeg, const QString& source, const QString& target,
                       std::function<void(const Result&)> done)
{
    m_done = std::move(done);
    m_stopping = false;
    m_process = new QProcess(this);
    m_process->setProgram(ffmpeg);
    // The arguments go to ffmpeg as they are, without a shell: any file name is safe. Only
    // errors are printed, so the last line is the one that says what went wrong; -vn leaves
    // the pictures out, -nostdin keeps ffmpeg from waiting for keys.
    m_process->setArguments({QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"),
                             QStringLiteral("-loglevel"), QStringLiteral("error"),
                             QStringLiteral("-y"), QStringLiteral("-i"), source,
                             QStringLiteral("-vn"), target});
    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->setStandardOutputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        const QString why =
            QStringLiteral("ffmpeg could not be started: %1").arg(m_process->errorString());
        // Reported from the event loop, never from inside start().
        QMetaObject::invokeMethod(
            this,
            [this, why] {
                complete({false, m_stopping, why});
            },
            Qt::QueuedConnection);
    });
    connect(m_process, &QProcess::finished, this,
            [this, target](int exitCode, QProcess::ExitStatus status) {
                const QString lastLine = LastErrorLine(m_process->readAllStandardError());
                Result result;
                result.stopped = m_stopping;
                result.ok = !m_stopping && status == QProcess::NormalExit && exitCode == 0 &&
                            QFileInfo(target).size() > 0;
                if (!result.ok && !m_stopping)
                    result.error = !lastLine.isEmpty() ? lastLine
                                   : status == QProcess::CrashExit
                                       ? QStringLiteral("ffmpeg ended unexpectedly.")
                                       : QStringLiteral("ffmpeg produced no audio.");
                complete(result);
            });
    m_process->start();
}

void Transcoder::stop()
{
    if (!m_process)
        return;
    m_stopping = true;
    m_process->kill();
}

void Transcoder::complete(const Result& result)
{
    if (!m_process)
        return;
    m_process->disconnect(this);
    m_process->deleteLater();
    m_process = nullptr;
    auto done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done(result);
}
