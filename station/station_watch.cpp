// A watching station: a board is taken at each port that appears, one job
// per port until the board there goes away.

#include "station/station_engine.h"

#include <algorithm>

namespace {

// A pool that may answer again soon: the station waits for it instead of
// ending, and takes no board meanwhile.
bool Passing(PoolFailure failure)
{
    return failure == PoolFailure::Unreachable || failure == PoolFailure::Locked;
}

constexpr std::chrono::seconds kPoolRetry{2};

}  // namespace

StationEnd StationEngine::Watch(std::unique_ptr<IPortWatch> ports)
{
    portWatch = std::move(ports);
    portWatch->Start([this] { queue.Post(WM_COMPORTS_CHANGED, 0, 0); });
    observer.Note(settings.all ? "Watching for boards; Ctrl-C ends."
                               : "Watching the given ports for boards; Ctrl-C ends.");
    portsChanged = true;
    return Loop();
}

bool StationEngine::RetryDue() const { return retryAt && clock.Now() >= *retryAt; }

std::vector<std::string> StationEngine::PortsToServe() const
{
    std::vector<std::string> present = portWatch->Ports();
    if (!settings.all) {
        std::erase_if(present, [this](const std::string& port) {
            return std::find(settings.ports.begin(), settings.ports.end(), port) ==
                   settings.ports.end();
        });
    }
    return present;
}

// A port that has had its job waits until it goes away and comes back.
void StationEngine::ForgetRemovedPorts(const std::vector<std::string>& present)
{
    std::erase_if(served, [&](const std::string& port) {
        if (std::find(present.begin(), present.end(), port) != present.end() || HasRunningJob(port))
            return false;
        observer.Note("board removed; the next one plugged in here is programmed", port);
        return true;
    });
}

// Starts a job on each board port that appeared since the last look.
void StationEngine::TakeNewBoards()
{
    const std::vector<std::string> present = PortsToServe();
    ForgetRemovedPorts(present);
    for (const std::string& port : present) {
        if (!served.contains(port) && !TakeBoard(port))
            return;
    }
}

// False when no more boards are taken for now: the pool is away or used up.
bool StationEngine::TakeBoard(const std::string& port)
{
    std::vector<std::string> macs;
    const PoolFailure failure = addresses.Allocate({port}, macs);
    if (Passing(failure)) {
        if (!retryAt)
            observer.Note("No board is started without an address: trying the pool again "
                          "every few seconds.");
        retryAt = clock.Now() + kPoolRetry;
        return false;
    }
    if (failure != PoolFailure::None) {
        poolUsedUp = true;
        observer.Note("No more boards are taken; the station ends when the running ones have.");
        return false;
    }
    retryAt.reset();
    served.insert(port);
    StartBoard(port, macs.front());
    return true;
}
