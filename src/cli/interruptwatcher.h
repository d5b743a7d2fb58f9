#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT (Ctrl+C) into a Qt signal on the thread that made the watcher. The handler
// only writes one byte into a pipe, which is async-signal-safe; the pipe's read end wakes
// the event loop. The previous handler is put back when the watcher goes.
class InterruptWatcher final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InterruptWatcher)

public:
    explicit InterruptWatcher(QObject* parent = nullptr);
    ~InterruptWatcher() override;

    // False when the pipe or the handler could not be set up.
    bool isWatching() const { return m_notifier != nullptr; }

signals:
    // Once per SIGINT received.
    void interrupted();

private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
};
