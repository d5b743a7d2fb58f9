#include "transcription/conversionqueue.h"

#include "transcription/conversionjob.h"
#include "transcription/queuejobhost.h"
#include "transcription/subtitlefile.h"
#include "transcription/subtitletarget.h"

#include <QElapsedTimer>
#include <QTimer>

QString QueueStateText(const QueueItem& item)
{
    switch (item.state) {
    case QueueState::Waiting:
        return QStringLiteral("waiting");
    case QueueState::Running:
        if (item.converting)
            return QStringLiteral("converting");
        if (item.throttled)
            return QStringLiteral("waiting (the service asked to slow down)");
        if (item.uploadPercent >= 0)
            return QStringLiteral("uploading %1%").arg(item.uploadPercent);
        return QStringLiteral("processing ") + ElapsedText(item.seconds);
    case QueueState::Done:
        return QStringLiteral("done");
    case QueueState::Failed:
        return QStringLiteral("failed: ") + item.reason;
    case QueueState::Canceled:
        return QStringLiteral("canceled");
    }
    return {};
}

namespace {

int startsPerMinute(const QueueOptions& options)
{
    return qMax(1, options.createsPerMinute - options.maxRunning);
}

} // namespace

ConversionQueue::ConversionQueue(Endpoints endpoints, QueueOptions options, QObject* parent)
    : QObject(parent)
    , m_endpoints(std::move(endpoints))
    , m_options(std::move(options))
    , m_limiter(startsPerMinute(m_options), 60000)
    , m_pumpTimer(new QTimer(this))
{
    if (!m_options.clock) {
        auto steady = std::make_shared<QElapsedTimer>();
        steady->start();
        m_options.clock = [steady] {
            return steady->elapsed();
        };
    }
    m_pumpTimer->setSingleShot(true);
    connect(m_pumpTimer, &QTimer::timeout, this, &ConversionQueue::pump);
    m_writer.setMaxThreadCount(1);
}

ConversionQueue::~ConversionQueue()
{
    // Files being written are finished: a result the service delivered is never lost.
    m_writer.waitForDone();
    // Hosts are children; their jobs end with them and report nothing more.
    for (QueueJobHost* host : std::as_const(m_hosts))
        host->disconnect(this);
    for (QueueJobHost* host : std::as_const(m_retiring))
        host->disconnect(this);
}

qint64 ConversionQueue::now() const
{
    return m_options.clock();
}

bool ConversionQueue::add(const QString& source)
{
    const QString identity = SourceIdentity(source);
    if (source.isEmpty() || m_identities.contains(identity))
        return false;
    m_identities.insert(identity);
    QueueItem item;
    item.source = source;
    m_items.append(item);
    emit rowsChanged();
    return true;
}

void ConversionQueue::removeFinished()
{
    if (isActive())
        return;
    for (int row = count() - 1; row >= 0; --row) {
        const QueueState state = m_items.at(row).state;
        if (state == QueueState::Waiting || state == QueueState::Running)
            continue;
        m_identities.remove(SourceIdentity(m_items.at(row).source));
        m_items.removeAt(row);
    }
    emit rowsChanged();
}

void ConversionQueue::start()
{
    for (int row = 0; row < count(); ++row) {
        QueueItem& item = m_items[row];
        if (item.state == QueueState::Failed || item.state == QueueState::Canceled) {
            item.state = QueueState::Waiting;
            item.reason.clear();
            emit itemChanged(row);
        }
    }
    m_active = true;
    m_finishPending = true;
    pump();
}

void ConversionQueue::stop()
{
    m_active = false;
    m_pumpTimer->stop();
    // Each job cancels its prediction and removes its upload, then reports its end.
    const QList<QueueJobHost*> running = m_hosts.values();
    for (QueueJobHost* host : running)
        host->stop();
    finishIfIdle();
}

void ConversionQueue::schedulePump(qint64 delayMs)
{
    if (!m_pumpTimer->isActive() || m_pumpTimer->remainingTime() > delayMs)
        m_pumpTimer->start(static_cast<int>(qMin<qint64>(delayMs, 3600000)));
}

void ConversionQueue::pump()
{
    m_pumpQueued = false;
    if (!m_active)
        return;
    while (runningCount() < m_options.maxRunning) {
        int next = -1;
        for (int row = 0; row < count(); ++row) {
            if (m_items.at(row).state == QueueState::Waiting) {
                next = row;
                break;
            }
        }
        if (next < 0)
            break;
        const qint64 at = now();
        const qint64 delay = qMax(m_pausedUntil - at, m_limiter.delayAt(at));
        if (delay > 0) {
            schedulePump(delay);
            return;
        }
        m_limiter.recordStart(at);
        startRow(next);
    }
    finishIfIdle();
}

void ConversionQueue::startRow(int row)
{
    QueueItem& item = m_items[row];
    QueueJobSettings settings;
    settings.apiKey = m_options.apiKey;
    settings.modelName = m_options.modelName;
    settings.vtt = m_options.vtt;
    settings.pollIntervalMs = m_options.pollIntervalMs;
    settings.clockIntervalMs = m_options.clockIntervalMs;
    settings.job.clock = m_options.jobClock;
    settings.job.dataFolder = m_options.temporaryFolder;
    // A 429 made nothing on the service: the job itself waits and sends the create again.
    settings.job.retryThrottledCreate = true;
    auto* host = new QueueJobHost(item.source, settings, m_endpoints, this);
    item.state = QueueState::Running;
    item.throttled = false;
    item.uploadPercent = -1;
    item.seconds = 0;
    item.reason.clear();
    m_hosts.insert(row, host);
    connect(host, &QueueJobHost::progressed, this, [this, row, host] {
        QueueItem& running = m_items[row];
        running.converting = host->converting();
        running.throttled = host->throttled();
        running.uploadPercent = host->uploadPercent();
        running.seconds = host->elapsedSeconds();
        emit itemChanged(row);
    });
    connect(host, &QueueJobHost::createThrottled, this, [this](qint64 waitMs) {
        // The service is over its limit for this key: no other file starts until then.
        m_pausedUntil = qMax(m_pausedUntil, now() + waitMs);
    });
    connect(host, &QueueJobHost::ended, this,
            [this, row, host](const ConversionOutcome& outcome) { ended(row, host, outcome); });
    emit itemChanged(row);
    if (!host->start()) {
        // Refused before anything was sent: a missing file, a bad address.
        m_hosts.remove(row);
        QueueItem& refused = m_items[row];
        refused.state = QueueState::Failed;
        refused.reason = host->refusal().isEmpty()
                             ? QStringLiteral("The conversion could not start.")
                             : host->refusal();
        host->disconnect(this);
        host->deleteLater();
        emit itemChanged(row);
    }
}

void ConversionQueue::ended(int row, QueueJobHost* host, const ConversionOutcome& outcome)
{
    if (m_hosts.value(row) != host)
        return;
    m_hosts.remove(row);
    retire(host);

    QueueItem& item = m_items[row];
    item.uploadPercent = -1;
    item.converting = false;
    item.throttled = false;
    if (outcome.result == ConversionOutcome::Result::Succeeded) {
        // The row stays running until its file is written.
        save(row, outcome.subtitles);
    } else if (outcome.result == ConversionOutcome::Result::Canceled) {
        item.state = QueueState::Canceled;
    } else {
        item.state = QueueState::Failed;
        item.reason = !host->refusal().isEmpty() ? host->refusal() : OneLine(outcome.reason);
        if (item.reason.isEmpty())
            item.reason = QStringLiteral("The conversion failed.");
    }
    emit itemChanged(row);
    // The next file starts from the event loop, after the job that ended has unwound.
    if (!m_pumpQueued) {
        m_pumpQueued = true;
        QMetaObject::invokeMethod(this, &ConversionQueue::pump, Qt::QueuedConnection);
    }
    if (!m_active)
        finishIfIdle();
}

void ConversionQueue::retire(QueueJobHost* host)
{
    disconnect(host, &QueueJobHost::progressed, this, nullptr);
    disconnect(host, &QueueJobHost::ended, this, nullptr);
    m_retiring.insert(host);
    connect(host, &QueueJobHost::released, this, [this, host] {
        if (!m_retiring.remove(host))
            return;
        host->disconnect(this);
        host->deleteLater();
        finishIfIdle();
    });
}

void ConversionQueue::save(int row, const QString& subtitles)
{
    const QString target = SubtitleTargetPath(m_items.at(row).source, m_options.outputFolder,
                                              m_options.vtt, m_options.overwrite, m_written);
    m_written.insert(target);
    ++m_saving;
    m_writer.start([this, row, target, subtitles] {
        const QString failure = WriteSubtitleFile(target, subtitles);
        QMetaObject::invokeMethod(
            this,
            [this, row, target, failure, subtitles] { saved(row, target, failure, subtitles); },
            Qt::QueuedConnection);
    });
}

void ConversionQueue::saved(int row, const QString& target, const QString& failure,
                            const QString& subtitles)
{
    --m_saving;
    QueueItem& item = m_items[row];
    if (!failure.isEmpty()) {
        item.state = QueueState::Failed;
        item.reason = OneLine(failure);
    } else {
        item.state = QueueState::Done;
        item.outputPath = target;
        item.subtitles = subtitles;
    }
    emit itemChanged(row);
    finishIfIdle();
}

void ConversionQueue::finishIfIdle()
{
    if (runningCount() > 0 || !m_retiring.isEmpty() || m_saving > 0)
        return;
    if (m_active) {
        for (const QueueItem& item : std::as_const(m_items)) {
            if (item.state == QueueState::Waiting)
                return;
        }
        m_active = false;
    }
    if (m_pumpTimer->isActive() && !m_active)
        m_pumpTimer->stop();
    if (!m_finishPending)
        return;
    m_finishPending = false;
    emit finished();
}
