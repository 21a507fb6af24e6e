// The line's database pool against a PostgreSQL server of the benchmark's
// own (scripts/pg_test_server, removed at the end):
//   - allocations per second from 4 stations at once, each on its own
//     connection, one address per allocation, each committed;
//   - one station's 8 simulated boards at the simulator's realistic pace,
//     with a pool file and with the database, side by side in one run: the
//     database must cost the station no visible time.

#include "sim/sim_process.h"
#include "run_process.h"
#include "sim_board_run.h"
#include "station/database/pg_address_pool.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint32_t kImageLength = 32768;
constexpr int kBoards = 8;
const std::string kRoot = "/tmp/quillmark-pg-bench-" + std::to_string(::getpid());

bool ServerScript(const std::string& arguments)
{
    // A server that flushes its commits, as a line's would.
    return std::system(("QUILLMARK_PG_FSYNC=on " + std::string(PG_TEST_SERVER) + " " + arguments +
                        " >/dev/null").c_str()) == 0;
}

// The server, started once for every benchmark and cleaned away at the end.
struct Server {
    Server() { up = ServerScript("start " + kRoot + " bench"); }
    ~Server() { ServerScript("clean " + kRoot); }
    bool up = false;
};

Server& TheServer()
{
    static Server server;
    return server;
}

// A fresh database with a range of `size` addresses; its URI.
std::string FreshPool(std::uint64_t size)
{
    static int count = 0;
    const std::string name = "b" + std::to_string(count++);
    const std::string socket = kRoot + "/bench/socket";
    PgConnection admin("postgresql:///postgres?host=" + socket + "&user=quillmark");
    if (!admin.Open().Ok() || !admin.Exec("CREATE DATABASE " + name).Ok())
        return {};
    const std::string uri = "postgresql:///" + name + "?host=" + socket + "&user=quillmark";
    PgAddressPool pool(uri, "bench");
    return pool.Init(0x0050C20000000000, 0x0050C20000000000 + size - 1).Ok() ? uri : std::string();
}

void BM_AllocationsFrom4Stations(benchmark::State& state)
{
    if (!TheServer().up) {
        state.SkipWithError("the PostgreSQL server did not start");
        return;
    }
    const std::string uri = FreshPool(1u << 30);
    std::atomic<long> allocations{0};
    double seconds = 1;
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::vector<std::thread> stations;
        for (int s = 0; s < 4; ++s) {
            stations.emplace_back([&, s] {
                PgAddressPool pool(uri, "station" + std::to_string(s));
                while (!stop) {
                    if (pool.Allocate({"ttyUSB0"}, "2026-12-09T06:00:00Z", std::string(64, 'a')).Ok())
                        ++allocations;
                }
            });
        }
        const auto started = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        stop = true;
        for (auto& station : stations)
            station.join();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
    // Wall time: the work is the server's and the stations' threads, not this one's.
    state.counters["allocations_per_s"] = static_cast<double>(allocations) / seconds;
    state.counters["allocations"] = static_cast<double>(allocations);
}

struct Row {
    std::string pool;
    double seconds;
};

std::vector<Row>& Rows()
{
    static std::vector<Row> rows;
    return rows;
}

// One station process programming 8 boards; the pool is a file (0) or the
// database (1).
void BM_StationEightBoards(benchmark::State& state)
{
    const bool database = state.range(0) == 1;
    if (database && !TheServer().up) {
        state.SkipWithError("the PostgreSQL server did not start");
        return;
    }
    for (auto _ : state) {
        ScratchFolder folder;
        const std::string imagePath = WriteBenchImage(folder.path, kImageLength);
        std::string pool = folder.path + "/pool.csv";
        if (database)
            pool = FreshPool(256);
        else
            std::ofstream(pool) << "range,0050C20000000000,0050C200000000FF\n";
        std::string error;
        const std::optional<double> seconds = TimeStationOnSimulatedBoards(
            {QUILLMARK_FLASH, "station", imagePath, "--mac-pool", pool, "--journal",
             folder.path + "/journal"},
            folder.path, kBoards, error);
        if (!seconds) {
            state.SkipWithError(error.c_str());
            return;
        }
        state.SetIterationTime(*seconds);
        Rows().push_back({database ? "database" : "file", *seconds});
    }
}

void PrintTable()
{
    std::map<std::string, std::pair<double, int>> sums;
    for (const Row& row : Rows()) {
        sums[row.pool].first += row.seconds;
        ++sums[row.pool].second;
    }
    if (!sums.contains("file") || !sums.contains("database"))
        return;
    const double file = sums["file"].first / sums["file"].second;
    const double database = sums["database"].first / sums["database"].second;
    std::printf("\n%-10s %12s\n", "8 boards", "mean time s");
    std::printf("%-10s %12.3f\n%-10s %12.3f\n", "file", file, "database", database);
    std::printf("database / file: %.3f\n", database / file);
}

}  // namespace

BENCHMARK(BM_AllocationsFrom4Stations)->Iterations(1)->Unit(benchmark::kSecond);
// File and database runs take turns, so that a slower moment of the machine
// falls on both alike.
BENCHMARK(BM_StationEightBoards)->Arg(0)->Arg(1)->Arg(0)->Arg(1)->Arg(0)->Arg(1)->Iterations(1)
    ->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintTable();
    return 0;
}
