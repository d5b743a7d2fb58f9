#pragma once

// What a start-up probe reports when its window is on screen: the monotonic clock at that
// moment, then, after half a second of idling, its resident memory, and last the processor
// time the process had used when its window was shown (which a busy machine disturbs far
// less than the clock).
#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <ctime>

namespace startupprobe {

inline long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

inline long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

inline long long processorMicroseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL + usage.ru_utime.tv_usec +
           usage.ru_stime.tv_usec;
}

// Call once the window is shown; quits the application after reporting.
inline void reportShownAndIdleMemory()
{
    const long long shownAt = monotonicNanoseconds();
    const long long processorTime = processorMicroseconds();
    QTimer::singleShot(500, [shownAt, processorTime] {
        std::printf("%lld %ld %lld\n", shownAt, residentKilobytes(), processorTime);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}

} // namespace startupprobe
