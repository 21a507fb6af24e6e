// Flashing velkan-board-sim (realistic line, erase and write times) over a
// pseudo-terminal, against the wire-and-board limit: every byte both ways at
// 115200 baud, 10 bits a byte, plus the board's erase and write times.

#include "data/target_code.h"
#include "flash/flash_layout.h"
#include "job/status_codes.h"
#include "serial/wire_protocol.h"
#include "sim/sim_options.h"
#include "sim_board_run.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Row {
    std::string name;
    double seconds;
    double limit;
};

std::vector<Row>& Rows()
{
    static std::vector<Row> rows;
    return rows;
}

// What the simulator's default timing makes of one flash of `length` bytes.
double WireAndBoardLimit(std::uint32_t length)
{
    const SimOptions board;  // the simulator's realistic defaults
    const std::uint64_t packets = (length + kMaxPayload - 1) / kMaxPayload;
    const std::uint64_t toBoard = 1 + 4 + kSecondStageLoaderSize + kEraseCommand.size() +
                                  packets * (kPacketHeaderSize + 1) + length +
                                  (kPacketHeaderSize + kHeaderSize + 1);
    const std::uint64_t toHost = 7 + 5 + kEraseReplySize + (packets + 1) * kAcknowledgementSize;
    const double line = std::chrono::duration<double>(board.ByteTime()).count() *
                        static_cast<double>(toBoard + toHost);
    const double erase = std::chrono::duration<double>(board.eraseTime).count();
    const double write = std::chrono::duration<double>(board.writeTimePerByte).count() *
                         static_cast<double>(length + kHeaderSize);
    return line + erase + write;
}

// One flash from the first poll to the end of the job; false if it failed.
bool FlashOnce(std::uint32_t length, SerialTiming timing, double& seconds)
{
    SimBoardRun run({}, length, timing);
    if (!run.Ready())
        return false;
    const auto started = std::chrono::steady_clock::now();
    run.Start();
    run.Join();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return run.LastStatus() == kStatusSuccess;
}

void BM_FlashSimulatedBoard(benchmark::State& state, std::uint32_t length, bool prompt)
{
    const double limit = WireAndBoardLimit(length);
    for (auto _ : state) {
        double seconds = 0;
        if (!FlashOnce(length, prompt ? SerialTiming::Prompt() : SerialTiming::Fixed(), seconds)) {
            state.SkipWithError("the flash did not succeed");
            return;
        }
        state.SetIterationTime(seconds);
        state.counters["limit_s"] = limit;
        state.counters["ratio"] = seconds / limit;
        Rows().push_back({std::to_string(length) + " B " + (prompt ? "prompt" : "fixed"), seconds, limit});
    }
}

void PrintTable()
{
    std::printf("\n%-18s %10s %10s %7s\n", "image / timing", "time s", "limit s", "ratio");
    for (const Row& row : Rows())
        std::printf("%-18s %10.2f %10.2f %7.3f\n", row.name.c_str(), row.seconds, row.limit,
                    row.seconds / row.limit);
}

}  // namespace

int main(int argc, char** argv)
{
    for (bool prompt : {true, false}) {
        for (std::uint32_t length : {4096u, 32768u, kMaxImageLength}) {
            const std::string name = std::string("FlashSimulatedBoard/") + std::to_string(length) +
                                     (prompt ? "/prompt" : "/fixed");
            benchmark::RegisterBenchmark(name.c_str(), BM_FlashSimulatedBoard, length, prompt)
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kSecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintTable();
    return 0;
}
