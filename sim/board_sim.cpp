#include "sim/board_sim.h"

#include "data/target_code.h"

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
        ResetWhenDue();
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
    resetAt.reset();  // plugging in again resets the board anyway
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

// What is still in the cable goes with the reset, both ways. A host killed
// mid-update leaves bytes the board has not taken in, whose first zero byte
// would make the fresh ROM greet nobody; and the board's late answers to it
// would reach the next host just ahead of the greeting, which it would then
// not recognise.
void BoardSim::ResetWhenDue()
{
    if (resetAt && Clock::now() >= *resetAt) {
        resetAt.reset();
        model.Reset();
        link.DiscardInFlight();
    }
}

void BoardSim::Serve()
{
    pollfd entries[2]{{link.Master(), POLLIN, 0}, {link.HostWatch(), POLLIN, 0}};
    const nfds_t count = link.HostWatch() >= 0 ? 2 : 1;
    if (::poll(entries, count, static_cast<int>(kIdleWait.count())) <= 0)
        return;
    // What the hosts did to the port before the bytes now waiting.
    if (count == 2 && (entries[1].revents & POLLIN))
        NoticeSessionEnd();
    if ((entries[0].revents & POLLIN) == 0)
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

// The host that talked to the board has closed the port: its user resets
// the board for the next update. A board still in its ROM needs no reset,
// and one already due keeps its time.
void BoardSim::NoticeSessionEnd()
{
    if (link.HostsLeft() && options.resetAfterSession && !model.InRom() && !resetAt)
        resetAt = Clock::now() + *options.resetAfterSession;
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
