// Flashing velkan-board-sim (realistic line, erase and write times) over a
// pseudo-terminal, against the wire-and-board limit: every byte both ways at
// 115200 baud, 10 bits a byte, plus the board's erase and write times.

#include "app/message_queue.h"
#include "app/status_codes.h"
#include "data/loader_images.h"
#include "images/flash_layout.h"
#include "platform/posix/posix_serial_port.h"
#include "serial/loader_protocol.h"
#include "serial/serial_job.h"
#include "sim/sim_options.h"
#include "sim/sim_process.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

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

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "quillmark-bench-XXXXXX").string();
        path = ::mkdtemp(pattern.data()) ? pattern : "";
    }
    ~ScratchFolder()
    {
        std::error_code error;
        fs::remove_all(path, error);
    }
    std::string path;
};

std::string WriteImage(const std::string& folder, std::uint32_t length)
{
    std::vector<char> bytes(length);
    std::mt19937 random(length);
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    const std::string path = folder + "/fw.bin";
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// One flash from the first poll to the end of the job; false if it failed.
bool FlashOnce(std::uint32_t length, SerialTiming timing, double& seconds)
{
    ScratchFolder folder;
    const std::string link = folder.path + "/board";
    SimProcess sim({"--link", link});
    if (!sim.WaitForPath(link, std::chrono::seconds(10)))
        return false;
    std::int32_t last = 0;
    CMessageQueue dialog([&last](unsigned message, WParam wparam, LParam) -> LParam {
        if (message == WM_JOB_STATUS)
            last = reinterpret_cast<const CBoardInfo*>(wparam)->statusCode;
        return 0;
    });
    PosixSerialPortFactory ports;
    SerialJob job(&dialog, ports, timing);
    job.boardInfo.portName = link;
    if (!job.boardInfo.Prepare(WriteImage(folder.path, length), "fw.bin", kDefaultMacText))
        return false;
    const auto started = std::chrono::steady_clock::now();
    job.writer->Start();
    job.writer->Join([&dialog] { dialog.DispatchFor(std::chrono::milliseconds(5)); });
    dialog.DispatchPending();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return last == kStatusSuccess;
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
