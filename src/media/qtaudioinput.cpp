#include "media/qtaudioinput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>

QtAudioInput::QtAudioInput() = default;

QtAudioInput::~QtAudioInput()
{
    stop();
}

bool QtAudioInput::start(Consumer consume)
{
    stop();
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull())
        return false;
    QAudioFormat format;
    format.setSampleRate(RecordingFormat::kSampleRate);
    format.setChannelCount(RecordingFormat::kChannels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return false;
    m_source = std::make_unique<QAudioSource>(device, format);
    m_consume = std::move(consume);
    m_stream = m_source->start();
    if (!m_stream || m_source->error() != QAudio::NoError) {
        m_source.reset();
        m_stream = nullptr;
        m_consume = nullptr;
        return false;
    }
    QObject::connect(m_stream, &QIODevice::readyRead, m_stream, [this] { drain(); });
    return true;
}

void QtAudioInput::drain()
{
    if (!m_stream || !m_consume)
        return;
    const QByteArray pcm = m_stream->readAll();
    if (!pcm.isEmpty())
        m_consume(pcm);
}

void QtAudioInput::stop()
{
    if (!m_source)
        return;
    drain();
    m_source->stop();
    m_source.reset();
    m_stream = nullptr;
    m_consume = nullptr;
}
