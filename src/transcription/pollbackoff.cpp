#include "transcription/pollbackoff.h"

#include <QLocale>

#include <algorithm>

PollBackoff::PollBackoff(quint32 seed)
    : m_random(seed)
{
}

qint64 PollBackoff::failed(qint64 requestedMs)
{
    // 1 s, 2 s, 4 s, 8 s, 16 s, then 30 s for every further failure.
    const int doublings = std::min(m_failures, 5);
    ++m_failures;
    const qint64 base = std::min(kFirstDelayMs << doublings, kLongestDelayMs);
    std::uniform_int_distribution<qint64> jitter(0, base / 4);
    const qint64 delay = std::max(base - jitter(m_random), kFirstDelayMs);
    return std::max(delay, std::min(requestedMs, kLongestRequestedMs));
}

qint64 RetryAfterMs(const QByteArray& value, const QDateTime& nowUtc)
{
    const QByteArray trimmed = value.trimmed();
    if (trimmed.isEmpty())
        return -1;
    bool isNumber = false;
    const qint64 seconds = trimmed.toLongLong(&isNumber);
    if (isNumber)
        return seconds < 0 ? -1 : std::min(seconds, qint64(1) << 40) * 1000;
    // An HTTP date: "Wed, 21 Oct 2015 07:28:00 GMT".
    const QDateTime when = QLocale::c().toDateTime(
        QString::fromLatin1(trimmed), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    if (!when.isValid())
        return -1;
    QDateTime utc = when;
    utc.setTimeSpec(Qt::UTC);
    return std::max<qint64>(0, nowUtc.msecsTo(utc));
}
