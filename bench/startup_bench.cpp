// Start-up time (process start to main window shown) and idle memory of Parlotext, side by
// side with a minimal Qt Widgets program, in one run. Each iteration starts a fresh process
// on the offscreen platform.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

extern char** environ;

namespace {

struct ProbeResult {
    double secondsToShown = 0;
    long residentKilobytes = 0;
    long long processorMicroseconds = 0;
};

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

bool runProbe(const std::string& program, ProbeResult& result)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    char* arguments[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t child = 0;
    const long long started = monotonicNanoseconds();
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return false;
    }
    FILE* output = fdopen(pipeEnds[0], "r");
    long long shownAt = 0;
    long resident = 0;
    long long processor = 0;
    const bool read = std::fscanf(output, "%lld %ld %lld", &shownAt, &resident, &processor) == 3;
    std::fclose(output);
    int status = 0;
    waitpid(child, &status, 0);
    if (!read)
        return false;
    result.secondsToShown = double(shownAt - started) / 1e9;
    result.residentKilobytes = resident;
    result.processorMicroseconds = processor;
    return true;
}

void startProgram(benchmark::State& state, const std::string& program)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    double residentTotal = 0;
    double processorTotal = 0;
    for (auto _ : state) {
        ProbeResult result;
        if (!runProbe(program, result)) {
            state.SkipWithError(("could not run " + program).c_str());
            return;
        }
        state.SetIterationTime(result.secondsToShown);
        residentTotal += double(result.residentKilobytes);
        processorTotal += double(result.processorMicroseconds);
    }
    state.counters["idle_rss_MiB"] = residentTotal / double(state.iterations()) / 1024.0;
    // Processor time up to the window shown: the start-up's own work, little disturbed by
    // other processes on a busy machine.
    state.counters["cpu_ms_to_shown"] = processorTotal / double(state.iterations()) / 1000.0;
}

void BM_StartParlotext(benchmark::State& state)
{
    startProgram(state, STARTUP_PROBE_PARLOTEXT);
}

void BM_StartMinimalQtWidgets(benchmark::State& state)
{
    startProgram(state, STARTUP_PROBE_MINIMAL);
}

void BM_StartParlotextMultimediaAtStart(benchmark::State& state)
{
    startProgram(state, STARTUP_PROBE_PARLOTEXT_MULTIMEDIA);
}

BENCHMARK(BM_StartMinimalQtWidgets)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartParlotext)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartParlotextMultimediaAtStart)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace

BENCHMARK_MAIN();
