#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QProcess;

// Turns a local audio or video file into an MP3 file with ffmpeg, as a process of its own,
// so that the window keeps painting and Stop is heard while it runs.
class Transcoder final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Transcoder)

public:
    struct Result {
        bool ok = false;
        bool stopped = false; // stop() ended it
        QString error;        // when not ok: ffmpeg's last error line, or why it did not run
    };

    explicit Transcoder(QObject* parent = nullptr);
    ~Transcoder() override;

    // Starts ffmpeg (the program's path) on source, writing target. done runs once, from the
    // event loop.
    void start(const QString& ffmpeg, const QString& source, const QString& target,
               std::function<void(const Result&)> done);
    // Ends ffmpeg; done then reports stopped.
    void stop();
    bool running() const;

private:
    void complete(const Result& result);

    QProcess* m_process = nullptr;
    std::function<void(const Result&)> m_done;
    bool m_stopping = false;
};

// The last line ffmpeg wrote that is not blank, from its captured error output.
QString LastErrorLine(const QByteArray& output);
