#pragma once
// The simulated board's life: plugged in at the start, answering the host at
// line speed, reset by its user after each session, unplugged and plugged in
// again when a fault says so, and its flash written out at the end or on
// request.

#include "sim/board_model.h"
#include "sim/nor_flash.h"
#include "sim/pty_link.h"
#include "sim/sim_options.h"

#include <atomic>
#include <chrono>
#include <optional>

class BoardSim {
public:
    using Clock = std::chrono::steady_clock;

    explicit BoardSim(const SimOptions& options);

    // Runs until `quit` is set; returns the process's exit code.
    int Run(const std::atomic<bool>& quit, std::atomic<bool>& saveRequested);

private:
    void Unplug();
    void ReplugWhenDue();
    void UnplugWhenDue();
    void ResetWhenDue();
    void Serve();
    void NoticeSessionEnd();
    void Receive(std::size_t count);
    void Emit(const Emission& emission);
    void SaveFlash();

    const SimOptions& options;
    NorFlash flash;
    BoardModel model;
    PtyLink link;
    Clock::time_point started;
    std::optional<Clock::time_point> replugAt;
    std::optional<Clock::time_point> resetAt;
    bool unpluggedOnce = false;
    // When the line in each direction is free again, for the line time.
    Clock::time_point inboundFree;
    Clock::time_point outboundFree;
};
