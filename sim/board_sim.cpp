#include "sim/board_sim.h"

#include "data/loader_images.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr auto kIdleWait = std::chrono::milliseconds(20);
}

BoardSim::BoardSim(const SimOptions& options)
    : options(options),
      model(options, flash, SecondStageLoader()),
      link(options.link),
      started(Clock::now())
{
}

int BoardSim::Run(const std::atomic<bool>& quit, std::atomic<bool>& saveRequested)
{
    if (!link.Plug()) {
        std::fprintf(stderr, "velkan-board-sim: cannot make the port at %s\n",
                     options.link.c_str());
        return 1;
    }
    while (!quit) {
        if (saveRequested.exchange(false))
            SaveFlash();
        UnplugWhenDue();
        if (link.Plugged())
            Serve();
        else
            ReplugWhenDue();
    }
    link.Unplug();
    SaveFlash();
    return 0;
}

void BoardSim::Unplug()
{
    link.Unplug();
    unpluggedOnce = true;
    if (options.replugAfter)
        replugAt = Clock::now() + *options.replugAfter;
}

void BoardSim::UnplugWhenDue()
{
    if (!unpluggedOnce && link.Plugged() && options.unplugAfter &&
        Clock::now() - started >= *options.unplugAfter)
        Unplug();
}

void BoardSim::ReplugWhenDue()
{
    if (!replugAt || Clock::now() < *replugAt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return;
    }
    replugAt.reset();
    model.Reset();  // a board plugged in again starts in its ROM
    if (!link.Plug())
        std::fprintf(stderr, "velkan-board-sim: cannot plug in again\n");
}

void BoardSim::Serve()
{
    pollfd entry{link.Master(), POLLIN, 0};
    if (::poll(&entry, 1, static_cast<int>(kIdleWait.count())) <= 0)
        return;
    std::uint8_t chunk[4096];
    const ssize_t got = ::read(link.Master(), chunk, sizeof chunk);
    if (got <= 0)
        return;
    Receive(static_cast<std::size_t>(got));
    for (ssize_t i = 0; i < got && link.Plugged(); ++i) {
        const auto emissions = model.Feed(chunk[i]);
        if (!unpluggedOnce && options.unplugAt != SimPhase::None &&
            model.Phase() == options.unplugAt) {
            Unplug();
            return;
        }
        for (const Emission& emission : emissions)
            Emit(emission);
    }
}

// The bytes are there only once they have crossed the line.
void BoardSim::Receive(std::size_t count)
{
    inboundFree = std::max(inboundFree, Clock::now()) + options.ByteTime() * count;
    std::this_thread::sleep_until(inboundFree);
}

void BoardSim::Emit(const Emission& emission)
{
    std::this_thread::sleep_for(emission.delay);
    outboundFree = std::max(outboundFree, Clock::now()) + options.ByteTime() * emission.bytes.size();
    std::this_thread::sleep_until(outboundFree);
    std::size_t sent = 0;
    while (sent < emission.bytes.size()) {
        const ssize_t n =
            ::write(link.Master(), emission.bytes.data() + sent, emission.bytes.size() - sent);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

void BoardSim::SaveFlash()
{
    if (!options.flashOut.empty() && !flash.Save(options.flashOut))
        std::fprintf(stderr, "velkan-board-sim: cannot write the flash to %s\n",
                     options.flashOut.c_str());
}
