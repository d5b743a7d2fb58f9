#pragma once

// What a start-up probe reports when its window is on screen: the monotonic clock at that
// moment, then, after half a second of idling, its resident memory.
#include <QCoreApplication>
#include <QFile>
#include <QTimer>

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

// Call once the window is shown; quits the application after reporting.
inline void reportShownAndIdleMemory()
{
    const long long shownAt = monotonicNanoseconds();
    QTimer::singleShot(500, [shownAt] {
        std::printf("%lld %ld\n", shownAt, residentKilobytes());
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}

} // namespace startupprobe
