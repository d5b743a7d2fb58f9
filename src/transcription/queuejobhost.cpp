#include "transcription/queuejobhost.h"

#include <QRegularExpression>
#include <QTimer>

QString OneLine(const QString& text)
{
    static const QRegularExpression breaks(QStringLiteral("[\\s\\x00-\\x1f\\x7f]+"));
    return QString(text).replace(breaks, QStringLiteral(" ")).trimmed();
}

QueueJobHost::QueueJobHost(QString source, QueueJobSettings settings, const Endpoints& endpoints,
                           QObject* parent)
    : QObject(parent)
    , m_source(std::move(source))
    , m_settings(std::move(settings))
    , m_pollTimer(new QTimer(this))
    , m_clockTimer(new QTimer(this))
    , m_job(new ConversionJob(*this, *this, endpoints, {}, m_settings.job, this))
{
    m_pollTimer->setInterval(m_settings.pollIntervalMs);
    m_clockTimer->setInterval(m_settings.clockIntervalMs);
    connect(m_pollTimer, &QTimer::timeout, m_job, &ConversionJob::TimerReplicateTimer);
    connect(m_clockTimer, &QTimer::timeout, m_job, &ConversionJob::TimerElapsedTimer);
    connect(m_job, &ConversionJob::createThrottled, this, &QueueJobHost::createThrottled);
    connect(m_job, &ConversionJob::ended, this, [this](const ConversionOutcome& outcome) {
        m_ended = true;
        m_pollTimer->stop();
        m_clockTimer->stop();
        emit ended(outcome);
        if (!m_job->deletingUploads()) {
            emit released();
            return;
        }
        // The job is kept until the service has the deletes: freeing it would abort them.
        connect(m_job, &ConversionJob::uploadsDeleted, this, &QueueJobHost::released);
        QTimer::singleShot(kReleaseLimitMs, this, &QueueJobHost::released);
    });
}

QueueJobHost::~QueueJobHost() = default;

bool QueueJobHost::start()
{
    return m_job->ConvertUsingReplicate();
}

bool QueueJobHost::isRunning() const
{
    return m_job->running();
}

void QueueJobHost::stop()
{
    if (m_ended || m_stopping)
        return;
    m_stopping = true;
    m_job->Stop();
}

int QueueJobHost::elapsedSeconds() const
{
    return m_job->ElapsedSeconds;
}

void QueueJobHost::setPollTimerEnabled(bool enabled)
{
    if (enabled)
        m_pollTimer->start();
    else
        m_pollTimer->stop();
}

void QueueJobHost::setClockTimerEnabled(bool enabled)
{
    if (enabled)
        m_clockTimer->start();
    else
        m_clockTimer->stop();
}

void QueueJobHost::setStatePanel(const QString& text)
{
    // The job reports an upload as "Uploading... 42%"; every other state is a step of the
    // prediction itself, shown by the clock.
    static const QRegularExpression percent(QStringLiteral("(\\d{1,3})\\s*%"));
    m_converting = text.startsWith(QLatin1String("Converting "));
    if (text.startsWith(QLatin1String("Uploading"))) {
        const QRegularExpressionMatch match = percent.match(text);
        m_uploadPercent = match.hasMatch() ? qBound(0, match.captured(1).toInt(), 100) : 0;
    } else {
        m_uploadPercent = -1;
    }
    emit progressed();
}

void QueueJobHost::showMessage(const QString&, const QString& text, MessageIcon)
{
    if (m_firstMessage.isEmpty())
        m_firstMessage = OneLine(text);
}
