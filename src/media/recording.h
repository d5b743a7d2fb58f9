#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <functional>
#include <memory>

// The format of every recording: PCM, 16 bits per sample, 2 channels, 44100 samples per
// second (176400 bytes per second, 4 bytes per frame).
struct RecordingFormat {
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;
    static constexpr int kBitsPerSample = 16;
    static constexpr int kBlockAlign = kChannels * kBitsPerSample / 8;
    static constexpr int kBytesPerSecond = kSampleRate * kBlockAlign;
};

// The sound input: the default input device in the program, synthetic sound in tests.
class AudioInput {
public:
    using Consumer = std::function<void(QByteArrayView pcm)>;
    virtual ~AudioInput() = default;
    // Starts delivering sound in RecordingFormat to consume, as it comes. False when there is
    // no input device or it refuses the format; nothing is delivered then.
    virtual bool start(Consumer consume) = 0;
    // Stops, delivering what is still buffered first. Does nothing when not started.
    virtual void stop() = 0;
};

// The 44-byte header of a PCM WAV file in RecordingFormat holding dataBytes of sound.
QByteArray WavHeader(quint32 dataBytes);

// Where the next recording in folder goes: the first free "MyRecord.wav",
// "MyRecord (2).wav", ...
QString NextRecordingPath(const QString& folder);

// One recording into a WAV file. The sound goes into a hidden partial file in the target
// folder while it comes; finishing completes the header and gives the file its name, so a
// file of that name is never half-written.
class WavRecording final {
public:
    explicit WavRecording(AudioInput& input);
    ~WavRecording(); // saves a recording still running as NextRecordingPath of its folder
    WavRecording(const WavRecording&) = delete;
    WavRecording& operator=(const WavRecording&) = delete;

    // Starts recording for a file in folder. Nothing is written when the input does not start.
    void start(const QString& folder);
    bool isRecording() const { return m_recording; }
    // Stops and saves the sound as target. Without sound to save (no device) nothing is
    // written. Returns whether a file was saved.
    bool finish(const QString& target);
    // The bytes of sound received so far.
    qint64 soundBytes() const { return m_soundBytes; }

private:
    void consume(QByteArrayView pcm);
    void stopInput();

    AudioInput& m_input;
    bool m_recording = false;
    QString m_folder;
    bool m_inputStarted = false;
    std::unique_ptr<QFile> m_file;
    qint64 m_soundBytes = 0;
    bool m_writeFailed = false;
};
