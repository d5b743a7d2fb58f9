#include "mediatestsupport.h"

#include <QProcess>
#include <QtMath>

#include <cmath>

void RecordingLog::appendLine(const QString& line)
{
    lines.append(line);
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    text += line + QLatin1Char('\n');
}

void RecordingLog::appendText(const QString& piece)
{
    pieces.append(piece);
    text += piece;
}

bool SyntheticAudioInput::start(Consumer consume)
{
    ++starts;
    if (!hasDevice)
        return false;
    m_consume = std::move(consume);
    running = true;
    return true;
}

void SyntheticAudioInput::stop()
{
    ++stops;
    if (running && !heldUntilStop.isEmpty())
        m_consume(heldUntilStop);
    running = false;
    m_consume = nullptr;
}

void SyntheticAudioInput::feed(const QByteArray& pcm)
{
    if (running)
        m_consume(pcm);
}

QByteArray SineTone(double seconds)
{
    const int frames = int(seconds * RecordingFormat::kSampleRate);
    QByteArray pcm(frames * RecordingFormat::kBlockAlign, Qt::Uninitialized);
    auto* samples = reinterpret_cast<qint16*>(pcm.data());
    for (int i = 0; i < frames; ++i) {
        const auto value =
            qint16(std::lround(8000 * std::sin(2 * M_PI * 440 * i / RecordingFormat::kSampleRate)));
        samples[2 * i] = value;
        samples[2 * i + 1] = value;
    }
    return pcm;
}

QString Probe(const QString& file, const QString& entries)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                 entries, QStringLiteral("-of"), QStringLiteral("default=nw=1"), file});
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
        return QString();
    return QString::fromUtf8(probe.readAllStandardOutput()).trimmed();
}

bool MakeToneFile(const QString& path)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                  QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                  QStringLiteral("sine=frequency=440:duration=1"), QStringLiteral("-ac"),
                  QStringLiteral("2"), path});
    return ffmpeg.waitForFinished(30000) && ffmpeg.exitCode() == 0;
}
