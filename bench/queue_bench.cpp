// A queue of 200 short recordings against the local fake service, at the program's own
// rhythm (a poll a second, three files at once) with the service answering at once: how long
// the interface thread ever goes without turning its event loop, what it was doing in the
// longest of those gaps, and the most creates the service saw in any minute.
#include "manyfilesservice.h"
#include "transcription/conversionqueue.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QMetaEnum>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <vector>

namespace {

qint64 threadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The calling thread's page faults that had to read the disk, and its voluntary context
// switches (each wait in a call that blocks).
struct ThreadWaits {
    long majorFaults = 0;
    long voluntarySwitches = 0;
};
ThreadWaits threadWaits()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return {usage.ru_majflt, usage.ru_nvcsw};
}

// How long the calling thread has waited, runnable, for a processor (the scheduler's
// statistics): a gap that is mostly this is the machine's load, not the thread's work.
qint64 threadRunQueueWaitNs()
{
    std::FILE* file = std::fopen("/proc/thread-self/schedstat", "r");
    if (!file)
        return 0;
    unsigned long long running = 0;
    unsigned long long waiting = 0;
    const int read = std::fscanf(file, "%llu %llu", &running, &waiting);
    std::fclose(file);
    return read == 2 ? qint64(waiting) : 0;
}

// Every event the interface thread delivers, with the wall and CPU time at which its
// delivery began. The time up to the next event's start is charged to it: its own work, a
// wait inside it, or the event loop idling (which a heartbeat gap rules out).
class EventTrace final : public QObject {
public:
    struct Entry {
        qint64 wallNs;
        qint64 cpuNs;
        const char* receiverClass;
        QEvent::Type type;
    };

    explicit EventTrace(const QElapsedTimer& clock)
        : m_clock(clock)
    {
        m_entries.reserve(1 << 20);
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~EventTrace() override { QCoreApplication::instance()->removeEventFilter(this); }

    std::size_t size() const { return m_entries.size(); }
    const Entry& at(std::size_t index) const { return m_entries[index]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        m_entries.push_back({m_clock.nsecsElapsed(), threadCpuNs(),
                             watched->metaObject()->className(), event->type()});
        return false;
    }

private:
    const QElapsedTimer& m_clock;
    std::vector<Entry> m_entries;
};

// One gap between two heartbeats: its wall and CPU time, the time the thread waited for a
// processor, and the events delivered in it. What remains of the wall time is the event
// loop's idling (up to the 5 ms of the heartbeat) or the thread blocked in a call.
struct Gap {
    qint64 startNs; // from the queue's start
    qint64 wallNs;
    qint64 cpuNs;
    qint64 runQueueNs;
    qint64 loopWaitNs; // asleep in the event loop's own wait for something to do
    ThreadWaits waits;
    std::size_t firstEvent;
    std::size_t endEvent;
};

QString eventTypeName(QEvent::Type type)
{
    const QMetaEnum names = QMetaEnum::fromType<QEvent::Type>();
    const char* name = names.valueToKey(type);
    return name ? QString::fromLatin1(name) : QString::number(int(type));
}

// The longest gaps (by wall time, or by the thread's own part of it), each with the event
// that took most of it.
void printLongestGaps(std::vector<Gap> gaps, const EventTrace& trace, std::size_t shown,
                      bool ownTime)
{
    const auto key = [ownTime](const Gap& gap) {
        return ownTime ? gap.wallNs - gap.runQueueNs : gap.wallNs;
    };
    std::sort(gaps.begin(), gaps.end(),
              [&key](const Gap& a, const Gap& b) { return key(a) > key(b); });
    std::fprintf(stderr,
                 "longest gaps of the interface thread%s: wall ms = CPU + waiting for a "
                 "processor + blocked or idle (of which asleep in the event loop's wait); the "
                 "event that took most of it: receiver, type, wall ms, CPU ms\n",
                 ownTime ? " less its waits for a processor" : "");
    for (std::size_t i = 0; i < std::min(shown, gaps.size()); ++i) {
        const Gap& gap = gaps[i];
        std::size_t longest = gap.firstEvent;
        qint64 longestWall = -1;
        qint64 longestCpu = 0;
        for (std::size_t e = gap.firstEvent; e < gap.endEvent && e + 1 < trace.size(); ++e) {
            const qint64 wall = trace.at(e + 1).wallNs - trace.at(e).wallNs;
            if (wall > longestWall) {
                longestWall = wall;
                longestCpu = trace.at(e + 1).cpuNs - trace.at(e).cpuNs;
                longest = e;
            }
        }
        if (longestWall < 0 || longest >= trace.size())
            continue;
        std::fprintf(stderr,
                     "  at %6.2f s: %7.1f = %6.1f + %6.1f + %6.1f (%6.1f)   %s %s %7.1f %7.1f  "
                     "(%zu events, %ld blocking waits, %ld page faults from disk)\n",
                     double(gap.startNs) / 1e9, double(gap.wallNs) / 1e6, double(gap.cpuNs) / 1e6,
                     double(gap.runQueueNs) / 1e6,
                     double(gap.wallNs - gap.cpuNs - gap.runQueueNs) / 1e6,
                     double(gap.loopWaitNs) / 1e6, trace.at(longest).receiverClass,
                     qPrintable(eventTypeName(trace.at(longest).type)), double(longestWall) / 1e6,
                     double(longestCpu) / 1e6, gap.endEvent - gap.firstEvent,
                     gap.waits.voluntarySwitches, gap.waits.majorFaults);
    }
}

void BM_QueueOfShortFiles(benchmark::State& state)
{
    const int files = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ManyFilesService service;
        ManyFilesService::Script quick;
        quick.processingPolls = 0; // the first poll already answers "succeeded"
        service.scriptEveryFile(quick);
        service.start();

        QTemporaryDir folder;
        const QDir dir(folder.path());
        Endpoints endpoints = Endpoints::compiledIn();
        endpoints.replicateApi = service.baseUrl();
        endpoints.extraCaCertificates = FakeHttpServer::testCaCertificates();
        QueueOptions options;
        options.apiKey = QStringLiteral("r8_bench");
        options.temporaryFolder = folder.path();
        ConversionQueue queue(endpoints, options);
        for (int i = 0; i < files; ++i) {
            const QString path =
                dir.filePath(QStringLiteral("part%1.mp3").arg(i, 3, 10, QLatin1Char('0')));
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                state.SkipWithError("cannot write the recordings");
            file.write(QByteArray(4096, 'a'));
            file.close();
            queue.add(path);
        }

        // A 5 ms heartbeat on the interface thread: the longest gap between two beats is the
        // longest time the thread was busy with something else (or not running at all).
        QElapsedTimer clock;
        clock.start();
        EventTrace trace(clock);
        std::vector<Gap> gaps;
        qint64 lastBeatNs = 0;
        qint64 startNs = 0;
        qint64 lastBeatCpuNs = threadCpuNs();
        qint64 lastBeatRunQueueNs = threadRunQueueWaitNs();
        ThreadWaits lastBeatWaits = threadWaits();
        // The time the event loop sleeps waiting for events, so that a gap spent there (a
        // timer that the system woke late) is told apart from one blocked in a call.
        qint64 loopWaitNs = 0;
        qint64 lastBeatLoopWaitNs = 0;
        qint64 blockedSinceNs = -1;
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        const QMetaObject::Connection toBlock =
            QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                             [&] { blockedSinceNs = clock.nsecsElapsed(); });
        const QMetaObject::Connection awake =
            QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&] {
                if (blockedSinceNs >= 0)
                    loopWaitNs += clock.nsecsElapsed() - blockedSinceNs;
                blockedSinceNs = -1;
            });
        std::size_t lastBeatEvent = 0;
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            const qint64 at = clock.nsecsElapsed();
            const qint64 cpu = threadCpuNs();
            const qint64 runQueue = threadRunQueueWaitNs();
            // The heartbeat's own timer event is the last one traced.
            const std::size_t beatEvent = trace.size() > 0 ? trace.size() - 1 : 0;
            const ThreadWaits waits = threadWaits();
            gaps.push_back({lastBeatNs - startNs,
                            at - lastBeatNs,
                            cpu - lastBeatCpuNs,
                            runQueue - lastBeatRunQueueNs,
                            loopWaitNs - lastBeatLoopWaitNs,
                            {waits.majorFaults - lastBeatWaits.majorFaults,
                             waits.voluntarySwitches - lastBeatWaits.voluntarySwitches},
                            lastBeatEvent,
                            beatEvent});
            lastBeatWaits = waits;
            lastBeatLoopWaitNs = loopWaitNs;
            lastBeatNs = at;
            lastBeatCpuNs = cpu;
            lastBeatRunQueueNs = runQueue;
            lastBeatEvent = beatEvent;
        });
        QEventLoop loop;
        QObject::connect(&queue, &ConversionQueue::finished, &loop, &QEventLoop::quit);
        const qint64 cpuBefore = threadCpuNs();
        lastBeatNs = clock.nsecsElapsed();
        startNs = lastBeatNs;
        heartbeat.start(5);
        queue.start();
        loop.exec();
        heartbeat.stop();
        QObject::disconnect(toBlock);
        QObject::disconnect(awake);
        const qint64 wallNs = clock.nsecsElapsed();
        const qint64 cpuNs = threadCpuNs() - cpuBefore;

        qint64 longestGapNs = 0;
        qint64 longestOwnNs = 0;
        qint64 longestOutsideWaitNs = 0;
        int over50 = 0;
        int over20 = 0;
        for (const Gap& gap : gaps) {
            longestGapNs = std::max(longestGapNs, gap.wallNs);
            // The part of the gap that is the thread's own: working, blocked or idle.
            longestOwnNs = std::max(longestOwnNs, gap.wallNs - gap.runQueueNs);
            // The part spent out of the event loop's wait: handling events (working, blocked
            // in a call, or preempted while at it).
            longestOutsideWaitNs = std::max(longestOutsideWaitNs, gap.wallNs - gap.loopWaitNs);
            over50 += gap.wallNs > 50000000 ? 1 : 0;
            over20 += gap.wallNs > 20000000 ? 1 : 0;
        }
        printLongestGaps(gaps, trace, 6, false);
        printLongestGaps(gaps, trace, 6, true);

        int done = 0;
        for (int row = 0; row < queue.count(); ++row)
            done += queue.item(row).state == QueueState::Done ? 1 : 0;
        std::vector<qint64> creates = service.createTimes();
        std::sort(creates.begin(), creates.end());
        std::size_t mostInAMinute = 0;
        std::size_t first = 0;
        for (std::size_t last = 0; last < creates.size(); ++last) {
            while (creates[last] - creates[first] >= 60000)
                ++first;
            mostInAMinute = std::max(mostInAMinute, last - first + 1);
        }
        state.counters["files_done"] = done;
        state.counters["seconds"] = static_cast<double>(wallNs) / 1e9;
        state.counters["ui_cpu_s"] = static_cast<double>(cpuNs) / 1e9;
        state.counters["longest_gap_ms"] = static_cast<double>(longestGapNs) / 1e6;
        state.counters["stall_ms"] = std::max(0.0, static_cast<double>(longestGapNs) / 1e6 - 5);
        state.counters["longest_gap_less_runqueue_ms"] = static_cast<double>(longestOwnNs) / 1e6;
        state.counters["longest_out_of_loop_wait_ms"] =
            static_cast<double>(longestOutsideWaitNs) / 1e6;
        state.counters["gaps_over_20ms"] = over20;
        state.counters["gaps_over_50ms"] = over50;
        state.counters["creates_max_per_60s"] = static_cast<double>(mostInAMinute);
        state.counters["creates"] = static_cast<double>(creates.size());
        if (done != files)
            state.SkipWithError("not every file was converted");
    }
}
BENCHMARK(BM_QueueOfShortFiles)->Arg(200)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
