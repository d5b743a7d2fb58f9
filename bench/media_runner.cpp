// The console runner's cost against the size of the output: 1, 10 and 100 MB of text lines
// through the real shell, into a log that only counts and into the real log pane.
#include "media/consolerunner.h"
#include "media/plaintextlog.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class CountingLog final : public ConsoleLog {
public:
    void appendLine(const QString& line) override { characters += line.size() + 1; }
    void appendText(const QString& text) override { characters += text.size(); }
    qint64 characters = 0;
};

QString commandFor(qint64 bytes)
{
    // 58-byte lines of plain text, as a chatty program would write them.
    return QStringLiteral(
               "yes 'the quick brown fox jumps over the lazy dog 0123456789' | head -c %1")
        .arg(bytes);
}

void BM_RunnerIntoCountingLog(benchmark::State& state)
{
    const qint64 bytes = state.range(0) << 20;
    for (auto _ : state) {
        CountingLog log;
        RunConsoleCommand(commandFor(bytes), QDir::tempPath(), log);
        if (log.characters < bytes)
            state.SkipWithError("output went missing");
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_RunnerIntoLogPane(benchmark::State& state)
{
    const qint64 bytes = state.range(0) << 20;
    std::unique_ptr<QPlainTextEdit> pane;
    for (auto _ : state) {
        // Making and freeing the pane is not the runner's cost.
        state.PauseTiming();
        pane.reset();
        pane = std::make_unique<QPlainTextEdit>(QStringLiteral("MemoCMD"));
        pane->setUndoRedoEnabled(false); // as the main window's log pane
        state.ResumeTiming();
        RunConsoleCommand(commandFor(bytes), QDir::tempPath(), pane.get());
        if (pane->document()->characterCount() < bytes)
            state.SkipWithError("output went missing");
    }
    pane.reset();
    state.SetBytesProcessed(state.iterations() * bytes);
}

} // namespace

BENCHMARK(BM_RunnerIntoCountingLog)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_RunnerIntoLogPane)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
