#pragma once

#include "core/endpoints.h"
#include "transcription/createratelimiter.h"
#include "transcription/modelnames.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>

#include <functional>

class QTimer;
class QueueJobHost;
struct ConversionOutcome;

enum class QueueState { Waiting, Running, Done, Failed, Canceled };

// One file (or web address) of the queue and how far it got.
struct QueueItem {
    QString source;
    QueueState state = QueueState::Waiting;
    bool converting = false; // while running: a video being turned into audio
    bool throttled = false;  // while running: waiting for the service to take the create
    int uploadPercent = -1;  // while running: the upload's progress, -1 when not uploading
    int seconds = 0;         // while running: the job's clock
    QString reason;          // when failed: one line that says why
    QString outputPath;      // when done: the subtitle file written
    QString subtitles;       // when done: what was written, for the result pane
};

// The row's state as the list and the command line show it: "waiting", "converting",
// "uploading 42%", "waiting (the service asked to slow down)", "processing 01:13", "done",
// "failed: reason", "canceled".
QString QueueStateText(const QueueItem& item);

struct QueueOptions {
    QString apiKey;
    QString modelName = kDefaultModelName;
    bool vtt = true;
    QString outputFolder; // empty: beside each source
    bool overwrite = false;
    int maxRunning = 3;
    // The service's limit. Starts are held to the limit less the jobs that may be running,
    // so that creates made after an upload still stay within it.
    int createsPerMinute = 600;
    int pollIntervalMs = 1000;
    int clockIntervalMs = 1000;
    // A monotonic clock in milliseconds (the rate limit, and the pause of the starts while
    // the service asks to slow down); the default is the system's steady clock.
    std::function<qint64()> clock;
    // The jobs' own clock (their poll spacing and back-off); the default is the system's.
    std::function<qint64()> jobClock;
    // Where the jobs put temporary audio; empty: the system's temporary folder.
    QString temporaryFolder;
};

// Many conversions, a few at a time: each file runs the same conversion job as the main
// window, hosted without a window. At most maxRunning run at once and starts are kept under
// the service's rate limit; a create the service refuses for too many requests is sent
// again by its job after the wait the service asks for, and no other file starts meanwhile. Each
// finished file's subtitles are written beside its source (or into the output folder) without
// replacing an existing file. A failed file never stops the others.
class ConversionQueue final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConversionQueue)

public:
    explicit ConversionQueue(Endpoints endpoints, QueueOptions options = {},
                             QObject* parent = nullptr);
    ~ConversionQueue() override;

    QueueOptions& options() { return m_options; }

    // Adds a waiting row. False, with nothing added, when the same file (or address) is
    // already in the queue.
    bool add(const QString& source);
    int count() const { return static_cast<int>(m_items.size()); }
    const QueueItem& item(int row) const { return m_items.at(row); }
    // Removes the rows that are not waiting or running; not while the queue runs.
    void removeFinished();

    // Runs the waiting rows, and the failed and canceled ones again.
    void start();
    // Cancels the running jobs on the service; the waiting rows stay waiting.
    void stop();
    // True from start() until nothing runs any more, nothing is left to start and every
    // subtitle file is written.
    bool isActive() const
    {
        return m_active || runningCount() > 0 || !m_retiring.isEmpty() || m_saving > 0;
    }
    int runningCount() const { return static_cast<int>(m_hosts.size()); }

signals:
    void rowsChanged();
    void itemChanged(int row);
    // After start(): nothing runs any more, and nothing waits unless the queue was stopped.
    void finished();

private:
    qint64 now() const;
    void pump();
    void schedulePump(qint64 delayMs);
    void startRow(int row);
    void ended(int row, QueueJobHost* host, const ConversionOutcome& outcome);
    void save(int row, const QString& subtitles);
    void saved(int row, const QString& target, const QString& failure, const QString& subtitles);
    void finishIfIdle();
    void retire(QueueJobHost* host);

    Endpoints m_endpoints;
    QueueOptions m_options;
    QList<QueueItem> m_items;
    QSet<QString> m_identities;
    QMap<int, QueueJobHost*> m_hosts; // by row
    QSet<QueueJobHost*> m_retiring;   // ended, still deleting their uploads
    QSet<QString> m_written;          // every name given out, written or still being written
    // Writes the subtitle files, one after another, away from the thread of the queue: a
    // file is flushed to the disk before it takes its name, which can take a while.
    QThreadPool m_writer;
    int m_saving = 0;
    CreateRateLimiter m_limiter;
    QTimer* m_pumpTimer;
    qint64 m_pausedUntil = 0;
    bool m_active = false;
    bool m_pumpQueued = false;
    bool m_finishPending = false;
};
