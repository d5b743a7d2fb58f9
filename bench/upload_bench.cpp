// Uploading a 95 MB recording to the prediction service's files API, here the fake service
// on 127.0.0.1 over real TLS: throughput, and how far the peak memory of the process rises
// over its idle level while the file streams from disk. The fake keeps nothing of the
// upload (it only counts the bytes), so what grows is the client's.
#include "fakes/fakepredictionservice.h"
#include "transcription/filesclient.h"

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <fstream>
#include <optional>
#include <string>

namespace {

constexpr qint64 kFileBytes = 95'000'000;

// A resident-set figure of this process from /proc/self/status, in KiB.
long statusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return -1;
}

// Sets the peak resident size back to the current one, so the next peak is this run's.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

QString makeRecording(const QTemporaryDir& folder)
{
    const QString path = folder.filePath(QStringLiteral("lecture.mp4"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QByteArray piece(1 << 20, Qt::Uninitialized);
    for (int i = 0; i < piece.size(); ++i)
        piece[i] = char((i * 131) ^ (i >> 7));
    for (qint64 left = kFileBytes; left > 0; left -= piece.size())
        file.write(piece.constData(), qMin<qint64>(left, piece.size()));
    return path;
}

void BM_Upload95MB(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString path = makeRecording(folder);
    FakePredictionService service(state.range(0) ? FakeHttpServer::Transport::Secure
                                                 : FakeHttpServer::Transport::Plain);
    service.setKeepUploads(false);
    service.start();
    Endpoints endpoints = Endpoints::compiledIn();
    endpoints.replicateApi = service.baseUrl();
    endpoints.extraCaCertificates = FakePredictionService::testCaCertificates();

    double peakGrowthMiB = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FilesClient client(endpoints);
        const long idleKiB = statusKiB("VmRSS");
        resetPeak();
        state.ResumeTiming();

        std::optional<UploadOutcome> outcome;
        QEventLoop loop;
        client.UploadFile(QStringLiteral("r8_bench"), path, {}, [&](const UploadOutcome& o) {
            outcome = o;
            loop.quit();
        });
        loop.exec();

        state.PauseTiming();
        peakGrowthMiB = std::max(peakGrowthMiB, (statusKiB("VmHWM") - idleKiB) / 1024.0);
        if (!outcome || outcome->kind != UploadOutcome::Kind::Uploaded ||
            service.files().back().size != std::uint64_t(kFileBytes)) {
            state.SkipWithError("the upload did not arrive whole");
            break;
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kFileBytes);
    state.counters["peak_growth_MiB"] = peakGrowthMiB;
}

} // namespace

// 0: plain HTTP on loopback; 1: TLS with the test authority, as the program talks to the
// service.
BENCHMARK(BM_Upload95MB)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
