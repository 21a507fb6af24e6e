// S-record loading throughput: a file whose records fill the whole 128 KiB
// block, loaded as a job loads it (sizing pass, then data pass).

#include "images/flash_image.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

// Writes S3 records of `perLine` data bytes covering the whole block.
std::filesystem::path WriteFullBlockFile(int perLine)
{
    const auto path = std::filesystem::temp_directory_path() /
                      ("quillmark-bench-" + std::to_string(perLine) + ".s19");
    std::ofstream out(path);
    std::mt19937 engine(1);
    char field[16];
    for (std::uint32_t address = 0; address < FlashImage::kBlockSize; address += perLine) {
        const unsigned count = 4 + perLine + 1;
        unsigned sum = count;
        std::snprintf(field, sizeof field, "S3%02X%08X", count, address);
        out << field;
        for (int i = 0; i < 4; ++i)
            sum += (address >> (8 * i)) & 0xFF;
        for (int i = 0; i < perLine; ++i) {
            const unsigned byte = engine() & 0xFF;
            sum += byte;
            std::snprintf(field, sizeof field, "%02X", byte);
            out << field;
        }
        std::snprintf(field, sizeof field, "%02X\n", ~sum & 0xFF);
        out << field;
    }
    out << "S70500000000FA\n";
    return path;
}

void BM_LoadFullBlockSRecords(benchmark::State& state)
{
    const auto path = WriteFullBlockFile(static_cast<int>(state.range(0)));
    const auto size = std::filesystem::file_size(path);
    FlashImage image;
    for (auto _ : state) {
        if (!image.Load(path.string()))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.buffer.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["file_bytes"] = static_cast<double>(size);
    std::filesystem::remove(path);
}

BENCHMARK(BM_LoadFullBlockSRecords)->Arg(16)->Arg(32)->Arg(128)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
