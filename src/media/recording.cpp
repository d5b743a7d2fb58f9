#include "media/recording.h"

#include "media/mediafiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QtEndian>

#include <cstring>
#include <limits>

namespace {

// A WAV file's sizes are 32-bit; sound beyond that would make the file unreadable.
constexpr qint64 kMaxSoundBytes = (std::numeric_limits<quint32>::max() - 36) /
                                  RecordingFormat::kBlockAlign * RecordingFormat::kBlockAlign;

void putLe32(char* at, quint32 value)
{
    qToLittleEndian<quint32>(value, at);
}

void putLe16(char* at, quint16 value)
{
    qToLittleEndian<quint16>(value, at);
}

} // namespace

QByteArray WavHeader(quint32 dataBytes)
{
    QByteArray header(44, '\0');
    char* h = header.data();
    std::memcpy(h, "RIFF", 4);
    putLe32(h + 4, 36 + dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    putLe32(h + 16, 16);
    putLe16(h + 20, 1); // PCM
    putLe16(h + 22, RecordingFormat::kChannels);
    putLe32(h + 24, RecordingFormat::kSampleRate);
    putLe32(h + 28, RecordingFormat::kBytesPerSecond);
    putLe16(h + 32, RecordingFormat::kBlockAlign);
    putLe16(h + 34, RecordingFormat::kBitsPerSample);
    std::memcpy(h + 36, "data", 4);
    putLe32(h + 40, dataBytes);
    return header;
}

WavRecording::WavRecording(AudioInput& input)
    : m_input(input)
{
}

WavRecording::~WavRecording()
{
    // Ending while recording: the sound so far is kept in a complete file.
    if (m_recording)
        finish(NextRecordingPath(m_folder));
}

QString NextRecordingPath(const QString& folder)
{
    // A folder of that name is stepped over as well: the recording could not be saved there.
    return FirstFreeFileName(folder + QStringLiteral("/MyRecord.wav"));
}

void WavRecording::start(const QString& folder)
{
    m_recording = true;
    m_folder = folder;
    m_soundBytes = 0;
    m_writeFailed = false;
    m_file.reset();
    QDir().mkpath(folder);
    // A hidden name of its own, so that two recordings never share a partial file.
    for (int n = 1; n < 1000 && !m_file; ++n) {
        auto file = std::make_unique<QFile>(
            QDir(folder).filePath(QStringLiteral(".MyRecord-%1-%2.wav.part")
                                      .arg(QCoreApplication::applicationPid())
                                      .arg(n)));
        if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly))
            m_file = std::move(file);
    }
    if (!m_file)
        return;
    if (m_file->write(WavHeader(0)) != 44)
        m_writeFailed = true;
    m_inputStarted = m_input.start([this](QByteArrayView pcm) { consume(pcm); });
    if (!m_inputStarted) {
        // No device, or it refused the format: there will be nothing to save.
        m_file->close();
        m_file->remove();
        m_file.reset();
    }
}

void WavRecording::consume(QByteArrayView pcm)
{
    if (!m_file || m_writeFailed || pcm.isEmpty())
        return;
    const qint64 room = kMaxSoundBytes - m_soundBytes;
    const qint64 size = std::min<qint64>(pcm.size(), room);
    if (size <= 0)
        return;
    if (m_file->write(pcm.data(), size) != size) {
        m_writeFailed = true;
        return;
    }
    m_soundBytes += size;
}

void WavRecording::stopInput()
{
    if (m_inputStarted)
        m_input.stop();
    m_inputStarted = false;
}

bool WavRecording::finish(const QString& target)
{
    stopInput();
    m_recording = false;
    if (!m_file)
        return false;
    std::unique_ptr<QFile> file = std::move(m_file);
    bool saved = false;
    if (!m_writeFailed) {
        // Whole frames only, so that the file's length matches its header.
        const qint64 whole =
            m_soundBytes / RecordingFormat::kBlockAlign * RecordingFormat::kBlockAlign;
        if (whole != m_soundBytes)
            file->resize(44 + whole);
        m_soundBytes = whole;
        saved = file->seek(0) && file->write(WavHeader(quint32(whole))) == 44 && file->flush();
    }
    file->close();
    if (saved)
        saved = QFile::rename(file->fileName(), target);
    if (!saved)
        QFile::remove(file->fileName());
    return saved;
}
