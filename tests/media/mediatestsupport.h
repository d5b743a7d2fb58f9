#pragma once

#include "media/consolerunner.h"
#include "media/recording.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A console log that keeps each call, and the text a pane would show.
class RecordingLog final : public ConsoleLog {
public:
    void appendLine(const QString& line) override;
    void appendText(const QString& text) override;

    QStringList lines;  // what came through appendLine, in order
    QStringList pieces; // what came through appendText, in order
    QString text;       // everything, with the line rule applied
    QString outputText() const { return pieces.join(QString()); }
};

// Synthetic sound instead of a device: the test hands the sound over itself.
class SyntheticAudioInput final : public AudioInput {
public:
    bool start(Consumer consume) override;
    void stop() override;
    // Delivers pcm as the device would while recording.
    void feed(const QByteArray& pcm);

    bool hasDevice = true;
    QByteArray heldUntilStop; // delivered by stop(), as a device's last buffer
    int starts = 0;
    int stops = 0;
    bool running = false;

private:
    Consumer m_consume;
};

// seconds of a 440 Hz tone in the recording format.
QByteArray SineTone(double seconds);

// One ffprobe field per stream and format, as "key=value" lines, or an empty string when
// ffprobe does not read the file.
QString Probe(const QString& file, const QString& entries);

// Makes a stereo tone of one second at path with the real ffmpeg; true on success.
bool MakeToneFile(const QString& path);
