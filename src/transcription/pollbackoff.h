#pragma once

#include <QByteArray>
#include <QDateTime>

#include <random>

// The wait between polls after failures: 1 s, doubling up to 30 s, each wait shortened by a
// random part of up to a quarter (so that many programs cut off at once do not come back in
// step), never below one second, and never shorter than the service asked for.
class PollBackoff final {
public:
    static constexpr qint64 kFirstDelayMs = 1000;
    static constexpr qint64 kLongestDelayMs = 30000;
    // The longest wait a Retry-After may ask for; beyond it the poll limit ends the job first.
    static constexpr qint64 kLongestRequestedMs = 600000;

    explicit PollBackoff(quint32 seed);

    // One more failure; the wait before the next poll. requestedMs is the service's
    // Retry-After in milliseconds, or negative when it gave none.
    qint64 failed(qint64 requestedMs = -1);
    // A good answer: the next failure starts again at one second.
    void reset() { m_failures = 0; }
    int failures() const { return m_failures; }

private:
    std::mt19937 m_random;
    int m_failures = 0;
};

// A Retry-After value in milliseconds: delay-seconds ("120") or an HTTP date, counted from
// nowUtc. Negative when the value is missing or not understood; 0 for a date in the past.
qint64 RetryAfterMs(const QByteArray& value, const QDateTime& nowUtc);
