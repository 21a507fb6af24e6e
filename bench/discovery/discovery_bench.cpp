// What watching the machine costs: CPU time while nothing changes (the
// watch threads should sleep in the kernel), and how soon a change is
// notified: a serial device, a J-Link probe or an image file appearing.
// Runs against a fake device tree in a temporary folder with real inotify.

#include "discovery/bin_file_manager.h"
#include "discovery/board_manager.h"
#include "fake_machine.h"
#include "platform/posix/folder_source.h"
#include "platform/posix/port_map_source.h"
#include "platform/posix/probe_source.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <mutex>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Counts notifications and remembers when the last one of each kind came.
class Stopwatch final : public ILoaderManager {
public:
    enum Kind { Ports, Probe, Images };
    void OnComPortsChanged() override { Mark(Ports); }
    void OnJLinkChanged() override { Mark(Probe); }
    void OnBinFilesChanged() override { Mark(Images); }
    void OnMonitorFailed(const std::string&) override {}

    int Count(Kind kind)
    {
        const std::lock_guard lock(mutex);
        return counts[kind];
    }
    // Waits for notification number `count` of `kind`; returns its time.
    Clock::time_point WaitFor(Kind kind, int count)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return counts[kind] >= count; });
        return last[kind];
    }

private:
    void Mark(Kind kind)
    {
        const auto now = Clock::now();
        const std::lock_guard lock(mutex);
        ++counts[kind];
        last[kind] = now;
        changed.notify_all();
    }
    std::mutex mutex;
    std::condition_variable changed;
    int counts[3] = {};
    Clock::time_point last[3];
};

struct Watched {
    explicit Watched(FakeMachine& machine, const std::string& folder)
        : ports(machine.Roots()), probes(machine.Roots()), images(&stopwatch, folderSource, folder),
          board(&stopwatch, ports, probes)
    {
        images.Start();
        board.Start();
    }
    Stopwatch stopwatch;
    CPosixPortMapSource ports;
    CPosixProbeSource probes;
    CPosixFolderSource folderSource;
    CBinFileManager images;
    CBoardManager board;
};

double CpuSeconds(const rusage& usage)
{
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int IdleSeconds()
{
    const char* text = std::getenv("QUILLMARK_IDLE_SECONDS");
    return text ? std::max(1, std::atoi(text)) : 10;
}

void BM_IdleCost(benchmark::State& state)
{
    FakeMachine machine;
    const std::string folder = (machine.Root() / "images").string();
    std::filesystem::create_directory(folder);
    Watched watched(machine, folder);
    const int seconds = IdleSeconds();
    rusage before{}, after{};
    for (auto _ : state) {
        getrusage(RUSAGE_SELF, &before);
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        getrusage(RUSAGE_SELF, &after);
    }
    state.counters["idle_s"] = seconds;
    state.counters["cpu_ms"] = (CpuSeconds(after) - CpuSeconds(before)) * 1000.0;
    // The sleeping main thread accounts for one; every other one is a wake-up.
    state.counters["ctx_switches"] =
        static_cast<double>((after.ru_nvcsw - before.ru_nvcsw) + (after.ru_nivcsw - before.ru_nivcsw));
}
BENCHMARK(BM_IdleCost)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// What a change does to the fake machine: `prepare` runs untimed (the sysfs
// entries the kernel makes before the node), `appear` is timed from its
// start to the notification, `disappear` undoes both.
struct Change {
    std::function<void(FakeMachine&, const std::string& folder, int i)> prepare, appear, disappear;
};

// Median, 90th percentile and worst of 100 appearances.
void Latency(benchmark::State& state, Stopwatch::Kind kind, const Change& change)
{
    FakeMachine machine;
    const std::string folder = (machine.Root() / "images").string();
    std::filesystem::create_directory(folder);
    Watched watched(machine, folder);
    constexpr int kChanges = 100;
    std::vector<double> micros;
    for (auto _ : state) {
        for (int i = 0; i < kChanges; ++i) {
            if (change.prepare)
                change.prepare(machine, folder, i);
            int seen = watched.stopwatch.Count(kind);
            const auto start = Clock::now();
            change.appear(machine, folder, i);
            const auto heard = watched.stopwatch.WaitFor(kind, seen + 1);
            micros.push_back(std::chrono::duration<double, std::micro>(heard - start).count());
            seen = watched.stopwatch.Count(kind);
            change.disappear(machine, folder, i);
            watched.stopwatch.WaitFor(kind, seen + 1);
        }
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p90_us"] = micros[micros.size() * 9 / 10];
    state.counters["max_us"] = micros.back();
    state.counters["changes"] = static_cast<double>(micros.size());
}

std::string Tty(int i) { return "ttyUSB" + std::to_string(i); }
std::string UsbNode(int i) { return "bus/usb/001/" + std::to_string(100 + i); }
std::string ImagePath(const std::string& folder, int i) { return folder + "/fw_" + std::to_string(i) + ".bin"; }

void BM_SerialPortAppears(benchmark::State& state)
{
    Latency(state, Stopwatch::Ports,
            {[](FakeMachine& m, const std::string&, int i) { m.AddSysfsOnlySerial(Tty(i)); },
             [](FakeMachine& m, const std::string&, int i) { m.AddDevNode(Tty(i)); },
             [](FakeMachine& m, const std::string&, int i) { m.UnplugSerial(Tty(i)); }});
}
BENCHMARK(BM_SerialPortAppears)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProbeAppears(benchmark::State& state)
{
    Latency(state, Stopwatch::Probe,
            {[](FakeMachine& m, const std::string&, int i) {
                 m.PlugUsbDevice(100 + i);
                 m.RemoveDevNode(UsbNode(i));
             },
             [](FakeMachine& m, const std::string&, int i) { m.AddDevNode(UsbNode(i)); },
             [](FakeMachine& m, const std::string&, int i) { m.UnplugUsbDevice(100 + i); }});
}
BENCHMARK(BM_ProbeAppears)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImageFileAppears(benchmark::State& state)
{
    Latency(state, Stopwatch::Images,
            {nullptr,
             [](FakeMachine&, const std::string& folder, int i) { std::ofstream(ImagePath(folder, i)) << "image"; },
             [](FakeMachine&, const std::string& folder, int i) { std::filesystem::remove(ImagePath(folder, i)); }});
}
BENCHMARK(BM_ImageFileAppears)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
