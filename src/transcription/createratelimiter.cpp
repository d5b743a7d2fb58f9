#include "transcription/createratelimiter.h"

CreateRateLimiter::CreateRateLimiter(int limit, qint64 windowMs)
    : m_limit(qMax(1, limit))
    , m_windowMs(windowMs)
{
}

void CreateRateLimiter::forget(qint64 nowMs)
{
    while (!m_starts.empty() && m_starts.front() + m_windowMs <= nowMs)
        m_starts.pop_front();
}

qint64 CreateRateLimiter::delayAt(qint64 nowMs)
{
    forget(nowMs);
    if (static_cast<int>(m_starts.size()) < m_limit)
        return 0;
    return m_starts.front() + m_windowMs - nowMs;
}

void CreateRateLimiter::recordStart(qint64 nowMs)
{
    forget(nowMs);
    m_starts.push_back(nowMs);
}
