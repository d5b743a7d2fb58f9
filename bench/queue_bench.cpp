// A queue of 200 short recordings against the local fake service, at the program's own
// rhythm (a poll a second, three files at once) with the service answering at once: how long
// the interface thread ever goes without turning its event loop, and the most creates the
// service saw in any minute.
#include "manyfilesservice.h"
#include "transcription/conversionqueue.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

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
        // longest time the thread was busy with something else.
        QElapsedTimer sinceBeat;
        qint64 longestGap = 0;
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, sinceBeat.elapsed());
            sinceBeat.restart();
        });
        QEventLoop loop;
        QObject::connect(&queue, &ConversionQueue::finished, &loop, &QEventLoop::quit);
        QElapsedTimer total;
        total.start();
        sinceBeat.start();
        heartbeat.start(5);
        queue.start();
        loop.exec();
        heartbeat.stop();

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
        state.counters["seconds"] = static_cast<double>(total.elapsed()) / 1000.0;
        state.counters["longest_gap_ms"] = static_cast<double>(longestGap);
        state.counters["stall_ms"] = static_cast<double>(std::max<qint64>(0, longestGap - 5));
        state.counters["creates_max_per_60s"] = static_cast<double>(mostInAMinute);
        state.counters["creates"] = static_cast<double>(creates.size());
        if (done != files)
            state.SkipWithError("not every file was converted");
    }
}
BENCHMARK(BM_QueueOfShortFiles)->Arg(200)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
