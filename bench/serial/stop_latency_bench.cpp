// How long stopping a serial job takes in each of its waits: from the call
// of Stop until the worker has ended and the port is closed. The simulator
// keeps the board silent in the wait being measured.

#include "job/status_codes.h"
#include "sim_board_run.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Wait {
    const char* name;
    std::vector<std::string> silence;  // simulator options that keep the board quiet there
    std::int32_t reachedWith;          // the job is in the wait once this status was sent
};

const Wait kWaits[] = {
    {"greeting poll", {"--never-greet"}, kStatusPortOpened},
    {"READY", {"--ready-text", ""}, kStatusSecondStageLoaderDownload},
    {"erase reply", {"--erase-ms", "9000"}, kStatusSecondStageLoaderRunning},
    {"acknowledgement", {"--missing-ack", "1"}, kStatusProgrammingFlash},
};

struct Row {
    std::string name;
    double milliseconds;
};

std::vector<Row>& Rows()
{
    static std::vector<Row> rows;
    return rows;
}

void BM_StopInWait(benchmark::State& state, const Wait& wait, bool prompt)
{
    for (auto _ : state) {
        SimBoardRun run(wait.silence, 4096, prompt ? SerialTiming::Prompt() : SerialTiming::Fixed());
        if (!run.Ready()) {
            state.SkipWithError("the simulated board did not start");
            return;
        }
        run.Start();
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!run.Saw(wait.reachedWith) && std::chrono::steady_clock::now() < limit)
            run.Pump();
        if (!run.Saw(wait.reachedWith)) {
            state.SkipWithError("the job never reached the wait");
            return;
        }
        // Well inside the wait: past the line time of what was just sent.
        const auto settle = std::chrono::steady_clock::now() + std::chrono::milliseconds(700);
        while (std::chrono::steady_clock::now() < settle)
            run.Pump();
        const auto started = std::chrono::steady_clock::now();
        run.Stop();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        state.SetIterationTime(seconds);
        Rows().push_back({std::string(wait.name) + (prompt ? " / prompt" : " / fixed"), seconds * 1000});
    }
}

}  // namespace

int main(int argc, char** argv)
{
    for (bool prompt : {true, false}) {
        for (const Wait& wait : kWaits) {
            const std::string name = std::string("StopInWait/") + wait.name + (prompt ? "/prompt" : "/fixed");
            benchmark::RegisterBenchmark(name.c_str(), BM_StopInWait, wait, prompt)
                ->Iterations(3)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n%-28s %10s\n", "stopped in the wait for", "stop ms");
    for (const Row& row : Rows())
        std::printf("%-28s %10.1f\n", row.name.c_str(), row.milliseconds);
    return 0;
}
