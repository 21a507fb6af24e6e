#pragma once
// Shows a programming job on the console: every status text as it arrives,
// the progress as a bar on a terminal (plain lines otherwise), and turns the
// job's outcome into the process's exit code.

#include "app/message_queue.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

class ConsoleJobRunner {
public:
    struct Settings {
        bool terminal = false;              // draw the progress bar in place
        std::uint32_t imageLength = 0;      // for bytes, rate and time left
        // Give up when the board has not connected within this time (the
        // serial job waits for a board for ever). None: no limit.
        std::optional<std::chrono::seconds> boardWaitLimit;
        // More to say after a status line (for example why a port did not
        // open); empty when there is nothing to add. Runs while the job waits.
        std::function<std::string(std::int32_t code)> statusDetail;
    };

    ConsoleJobRunner(std::ostream& out, Settings settings);
    ~ConsoleJobRunner();

    // For bytes, rate and time left, once the image is known.
    void SetImageLength(std::uint32_t length) { settings.imageLength = length; }

    // Where the job sends its status and progress.
    IMessageTarget& Target() { return queue; }

    // Handles the job's messages until a final status (exit 0 after success,
    // 1 after a failure), Ctrl-C (130) or the board wait limit (1). On Ctrl-C
    // and at the limit `stopJob` is called; it must keep calling Pump while it
    // waits for the job, so that a pending send of the job is delivered.
    int Run(const std::function<void()>& stopJob);

    // Delivers queued messages, waiting up to `timeout` for one.
    void Pump(std::chrono::milliseconds timeout = std::chrono::milliseconds(10));

private:
    LParam Handle(unsigned message, WParam wparam, LParam lparam);
    void ShowStatus(std::int32_t code);
    void ShowProgress(unsigned percent);
    void EndProgressLine();
    bool BoardWaitExpired() const;

    std::ostream& out;
    Settings settings;
    CMessageQueue queue;
    std::optional<int> exitCode;
    bool boardConnected = false;
    bool progressLineOpen = false;
    int lastPercent = -1;
    std::chrono::steady_clock::time_point started;
    std::optional<std::chrono::steady_clock::time_point> programmingStarted;
};
