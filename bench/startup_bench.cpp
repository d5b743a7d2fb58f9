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
    const bool read = std::fscanf(output, "%lld %ld", &shownAt, &resident) == 2;
    std::fclose(output);
    int status = 0;
    waitpid(child, &status, 0);
    if (!read)
        return false;
    result.secondsToShown = double(shownAt - started) / 1e9;
    result.residentKilobytes = resident;
    return true;
}

void startProgram(benchmark::State& state, const std::string& program)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    double residentTotal = 0;
    for (auto _ : state) {
        ProbeResult result;
        if (!runProbe(program, result)) {
            state.SkipWithError(("could not run " + program).c_str());
            return;
        }
        state.SetIterationTime(result.secondsToShown);
        residentTotal += double(result.residentKilobytes);
    }
    state.counters["idle_rss_MiB"] = residentTotal / double(state.iterations()) / 1024.0;
}

void BM_StartParlotext(benchmark::State& state)
{
    startProgram(state, STARTUP_PROBE_PARLOTEXT);
}

void BM_StartMinimalQtWidgets(benchmark::State& state)
{
    startProgram(state, STARTUP_PROBE_MINIMAL);
}

BENCHMARK(BM_StartMinimalQtWidgets)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartParlotext)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
