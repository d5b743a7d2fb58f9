#pragma once

#include "platform/inifile.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// Writes values into a settings file on a thread of its own, so that a slow or busy disk
// never stalls the window that asks for the write. Values wait in order; a newer value for
// a key replaces one of the same key that has not reached the disk yet, so the file always
// ends with the latest value and a burst of keystrokes costs only a few writes.
class BackgroundIniWriter final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BackgroundIniWriter)

public:
    explicit BackgroundIniWriter(QString path, QObject* parent = nullptr);
    // Writes what still waits before it goes.
    ~BackgroundIniWriter() override;

    // Returns at once; the value reaches the disk as soon as the disk allows.
    void writeString(const QString& section, const QString& key, const QString& value);
    // Waits until every value given so far has been written or has failed.
    void flush();
    // Whether nothing waits and nothing is being written.
    bool isIdle() const;

signals:
    // A write failed; delivered on the thread that owns this object.
    void writeFailed(const QString& message);

private:
    struct Entry {
        QString section;
        QString key;
        QString value;
    };

    void run();

    IniFile m_file;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Entry> m_waiting;
    bool m_writing = false;
    bool m_stopping = false;
    std::thread m_thread;
};
