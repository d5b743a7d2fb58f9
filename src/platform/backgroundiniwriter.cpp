#include "platform/backgroundiniwriter.h"

#include <QMetaObject>

BackgroundIniWriter::BackgroundIniWriter(QString path, QObject* parent)
    : QObject(parent)
    , m_file(std::move(path))
    , m_thread([this] { run(); })
{
}

BackgroundIniWriter::~BackgroundIniWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    // The thread writes what still waits before it ends: no keystroke is lost at exit.
    m_thread.join();
}

void BackgroundIniWriter::writeString(const QString& section, const QString& key,
                                      const QString& value)
{
    {
        std::lock_guard lock(m_mutex);
        bool replaced = false;
        for (Entry& entry : m_waiting) {
            if (entry.section.compare(section, Qt::CaseInsensitive) == 0 &&
                entry.key.compare(key, Qt::CaseInsensitive) == 0) {
                entry.value = value;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            m_waiting.push_back({section, key, value});
    }
    m_changed.notify_all();
}

void BackgroundIniWriter::flush()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_waiting.empty() && !m_writing; });
}

bool BackgroundIniWriter::isIdle() const
{
    std::lock_guard lock(m_mutex);
    return m_waiting.empty() && !m_writing;
}

void BackgroundIniWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_waiting.empty())
            return; // stopping, and everything is written
        const Entry entry = m_waiting.front();
        m_waiting.erase(m_waiting.begin());
        m_writing = true;
        lock.unlock();
        QString failure;
        try {
            m_file.writeString(entry.section, entry.key, entry.value);
        } catch (const IniWriteError& error) {
            failure = QString::fromStdString(error.what());
        }
        if (!failure.isEmpty()) {
            // Dropped unseen when this object is gone by the time the owner's thread looks.
            QMetaObject::invokeMethod(
                this, [this, failure] { emit writeFailed(failure); }, Qt::QueuedConnection);
        }
        lock.lock();
        m_writing = false;
        m_changed.notify_all();
    }
}
