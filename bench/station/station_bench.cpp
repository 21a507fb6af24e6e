// quillmark-flash station on 1, 4 and 8 simulated boards at the simulator's
// realistic pace (115200 baud, real erase and write times), side by side in
// one run: the jobs run at once, so 8 boards should take hardly longer than
// one. Each run is the whole process: start, image digest, pool allocation
// (written and flushed to disk), every board, the pool's results.

#include "sim/sim_process.h"
#include "run_process.h"
#include "sim_board_run.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint32_t kImageLength = 32768;

struct Row {
    int boards;
    double seconds;
};

std::vector<Row>& Rows()
{
    static std::vector<Row> rows;
    return rows;
}

void BM_Station(benchmark::State& state)
{
    const int boards = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ScratchFolder folder;
        const std::string imagePath = WriteBenchImage(folder.path, kImageLength);
        const std::string pool = folder.path + "/pool.csv";
        std::ofstream(pool) << "range,0050C20000000000,0050C200000000FF\n";

        std::string error;
        const std::optional<double> seconds = TimeStationOnSimulatedBoards(
            {QUILLMARK_FLASH, "station", imagePath, "--mac-pool", pool}, folder.path, boards, error);
        if (!seconds) {
            state.SkipWithError(error.c_str());
            return;
        }
        state.SetIterationTime(*seconds);
        Rows().push_back({boards, *seconds});
    }
}

void PrintTable()
{
    if (Rows().empty())
        return;
    const double one = Rows().front().boards == 1 ? Rows().front().seconds : 0;
    std::printf("\n%-8s %10s %14s\n", "boards", "time s", "x one board");
    for (const Row& row : Rows()) {
        std::printf("%-8d %10.2f %14s\n", row.boards, row.seconds,
                    one > 0 ? std::to_string(row.seconds / one).substr(0, 5).c_str() : "-");
    }
}

}  // namespace

BENCHMARK(BM_Station)->Arg(1)->Arg(4)->Arg(8)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintTable();
    return 0;
}
