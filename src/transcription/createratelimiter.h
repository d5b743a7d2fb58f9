#pragma once

#include <QtGlobal>

#include <deque>

// Keeps the creates within the service's limit: at most `limit` starts in any window of
// `windowMs`. Times are milliseconds of a monotonic clock given by the caller, so that tests
// drive minutes without waiting for them.
class CreateRateLimiter final {
public:
    CreateRateLimiter(int limit, qint64 windowMs);

    // Milliseconds until one more start is allowed; 0 when it is allowed now.
    qint64 delayAt(qint64 nowMs);
    void recordStart(qint64 nowMs);

private:
    void forget(qint64 nowMs);

    int m_limit;
    qint64 m_windowMs;
    std::deque<qint64> m_starts;
};
