// quillmark-flash station: the options checked, the image read and the pool
// opened before any board is touched; then the station's engine
// (station/station_engine.h) runs, shown on the console.

#include "cli/commands.h"
#include "cli/pool_source.h"
#include "cli/station.h"
#include "cli/station_view.h"
#include "flash/flash_layout.h"
#include "images/flash_image.h"
#include "platform/console.h"
#include "platform/machine.h"
#include "platform/text_paths.h"
#include "station/monitor_port_watch.h"
#include "station/serial_board_job.h"
#include "station/sha256.h"
#include "station/station_engine.h"

#include <atomic>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

namespace {

constexpr int kExitInterrupted = 130;

int ExitCodeOf(StationEnd end)
{
    switch (end) {
    case StationEnd::AllProgrammed: return kExitSuccess;
    case StationEnd::Interrupted: return kExitInterrupted;
    case StationEnd::NotAllProgrammed: break;
    }
    return kExitFailure;
}

StationSettings SettingsOf(const StationOptions& options, std::string imageSha256,
                           std::uint32_t imageLength)
{
    StationSettings settings;
    settings.all = options.all;
    settings.ports = options.ports;
    settings.watching = options.watch;
    settings.mac = options.mac;
    settings.boardWait = std::chrono::seconds(options.waitSeconds);
    settings.journalPath = options.journal.empty() ? DefaultJournalPath() : options.journal;
    settings.image.path = TextOfPath(std::filesystem::absolute(PathOfText(options.image)));
    settings.image.sha256 = std::move(imageSha256);
    settings.image.length = imageLength;
    settings.image.host = StationHostName();
    return settings;
}

SerialBoardSettings BoardSettingsOf(const StationOptions& options)
{
    SerialBoardSettings settings;
    settings.image = options.image;
    settings.timing = options.timing == "fixed" ? SerialTiming::Fixed() : SerialTiming::Prompt();
    settings.devRoot = options.roots.dev;
    return settings;
}

// Runs the engine on the checked image and the opened pool and report.
int RunEngine(const StationOptions& options, const std::vector<std::string>& ports,
              StationWiring wiring, StationSettings settings)
{
    // Before any job or monitor thread starts, so that Ctrl-C reaches it.
    // The station's loop looks at the flag at least every 100 ms.
    std::atomic<bool> stopRequested{false};
    ConsoleStopWatch stopWatch([&stopRequested] { stopRequested = true; });
    SteadyClock clock;
    SerialBoardJobFactory jobs(BoardSettingsOf(options));
    StationView view(options.events);
    wiring.clock = &clock;
    wiring.jobs = &jobs;
    wiring.observer = &view;
    // A report that cannot be written would lose every board's record; the
    // station checks it with the pool.
    auto station =
        std::make_unique<StationEngine>(std::move(settings), std::move(wiring), stopRequested);
    if (!station->CheckPool())
        return kExitFailure;
    const StationEnd end = options.watch
                               ? station->Watch(std::make_unique<MonitorPortWatch>(options.roots))
                               : station->RunOnce(ports);
    station.reset();  // every job and the monitor end before the watch goes
    return ExitCodeOf(end);
}

// The boards of the run: the given ports, or with --all every board port
// found now. Null (the reason shown) when there is none.
std::optional<std::vector<std::string>> ChosenPorts(const StationOptions& options)
{
    if (!options.all || options.watch)
        return options.ports;
    const auto source = MakePortMapSource(options.roots);
    if (!source->Open()) {
        std::cerr << "The machine's serial ports cannot be read (" << source->FailedCall() << ")."
                  << std::endl;
        return std::nullopt;
    }
    std::vector<std::string> ports = source->ReadPorts();
    if (ports.empty()) {
        std::cerr << "No board detected." << std::endl;
        return std::nullopt;
    }
    return ports;
}

// One address for several boards is never right.
bool AddressesFit(const StationOptions& options, std::size_t boards)
{
    if (options.mac && (options.watch || boards != 1)) {
        std::cerr << "--mac gives one address, and one address for several boards is never right: "
                     "give a --mac-pool instead."
                  << std::endl;
        return false;
    }
    // Without a pool every board would get the same default address.
    if (options.macPool.empty() && !options.mac && (options.watch || options.all || boards != 1)) {
        std::cerr << "Several boards need a --mac-pool: one address for several boards is never right."
                  << std::endl;
        return false;
    }
    return true;
}

// The image is read once here to refuse it before any board is touched; its
// length into `length`, and its digest, or null (the reason shown).
std::optional<std::string> CheckedImage(const std::string& path, std::uint32_t& length)
{
    FlashImage image;
    const ImageLoad load = image.Load(path);
    load.Tell(std::cerr);
    if (!load || !ImageFitsFlash(image.length)) {
        if (image.data)
            std::cerr << ImageTooLongMessage(image.length) << "\n";
        std::cerr << "The image " << path << " cannot be programmed; no board was touched."
                  << std::endl;
        return std::nullopt;
    }
    length = image.length;
    auto sha = Sha256OfFile(path);
    if (!sha)
        std::cerr << "The image " << path << " cannot be read; no board was touched." << std::endl;
    return sha;
}

}  // namespace

int RunStation(const StationOptions& options)
{
    const auto ports = ChosenPorts(options);
    if (!ports)
        return kExitFailure;
    if (!AddressesFit(options, ports->size()))
        return kExitUsage;
    std::uint32_t imageLength = 0;
    auto sha = CheckedImage(options.image, imageLength);
    if (!sha)
        return kExitFailure;
    std::string error;
    StationWiring wiring;
    if (!options.macPool.empty())
        wiring.pool = OpenAddressPool(options.macPool, error);
    if (!options.report.empty() && error.empty())
        wiring.sink = OpenBoardSink(options.report, error);
    if (!error.empty()) {
        std::cerr << error << "; no board was touched." << std::endl;
        return kExitUsage;
    }
    return RunEngine(options, *ports, std::move(wiring),
                     SettingsOf(options, std::move(*sha), imageLength));
}
