#pragma once
// Shows a programming job on the console: every status text as it arrives,
// the progress as a bar on a terminal (plain lines otherwise), and turns the
// job's outcome into the process's exit code.

#include "cli/event_stream.h"
#include "job/job_messages.h"
#include "job/job_watcher.h"
#include "job/message_queue.h"
#include "platform/console.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

class ConsoleJobRunner {
public:
    struct Settings {
        bool terminal = false;              // draw the progress bar in place
        std::uint32_t imageLength = 0;      // for bytes, rate and time left
        // Give up when the board has not connected within this time (the
        // serial job waits for a board for ever). None: no limit.
        std::optional<std::chrono::seconds> boardWaitLimit;
        // --events json: every status and progress step, and the result.
        EventStream events;
        std::string port;  // the board's, in each event
        std::string mac;
    };

    ConsoleJobRunner(std::ostream& out, Settings settings);
    ~ConsoleJobRunner();

    // Where the prose goes: standard error when events take standard output.
    static std::ostream& ProseStream(bool events);

    // For bytes, rate and time left, once the image is known.
    void SetImageLength(std::uint32_t length) { settings.imageLength = length; }

    // Where the job reports its status and progress.
    IJobObserver& Reports() { return reports; }

    // Handles the job's messages until a final status (exit 0 after success,
    // 1 after a failure), a hopeless status (1), Ctrl-C or the console's
    // closing (130) or the board wait limit (1). On the last three `stopJob` is called; it must keep calling Pump while it
    // waits for the job, so that a pending send of the job is delivered.
    int Run(const std::function<void()>& stopJob);

    // Why the job failed, when its failed end said so (and no message has).
    const std::string& Failure() const { return failure; }

    // Delivers queued messages, waiting up to `timeout` for one.
    void Pump(std::chrono::milliseconds timeout = std::chrono::milliseconds(10));

private:
    int RunUntilEnd(const std::function<void()>& stopJob);
    LParam Handle(unsigned message, WParam wparam, LParam lparam);
    void ShowStatus(const JobStatus& status);
    void ShowStatusLine(std::int32_t code, std::string_view text);
    void ShowProgress(unsigned percent);
    void EndLine();
    int ExitCodeOfVerdict() const;

    std::ostream& out;
    Settings settings;
    CMessageQueue queue;
    JobMessages reports{queue};
    JobWatcher watcher;
    bool lineOpen = false;  // a status or the progress bar drawn in place on a terminal
    bool barOpen = false;   // ...and it is the bar
    std::optional<std::int32_t> lastStatus;
    std::string failure;
    unsigned repeats = 0;
    int lastPercent = -1;
    std::chrono::steady_clock::time_point started;
    std::optional<std::chrono::steady_clock::time_point> programmingStarted;
    // Last, so that it goes first: by then the caller has stopped the job
    // and waited for it, and a closing console may end the process.
    ConsoleCloseGuard closeGuard;
};
