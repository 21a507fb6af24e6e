#pragma once
// velkan-board-sim as a child process: started with its options, stopped
// with SIGTERM (which makes it write its flash), always reaped.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

class SimProcess {
public:
    // Starts the simulator built with the project (or the one at `program`),
    // with `arguments`.
    explicit SimProcess(const std::vector<std::string>& arguments,
                        const std::string& program = VELKAN_BOARD_SIM);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Running() const { return pid > 0; }

    // Waits until `path` exists (the simulator's link), at most `limit`.
    bool WaitForPath(const std::string& path, std::chrono::milliseconds limit) const;

    // Asks for the flash file (SIGUSR1) and waits until `path` holds it, at
    // most `limit`. The request is repeated while it waits: under
    // ThreadSanitizer the simulator was seen to let one go unanswered.
    bool SaveFlash(const std::string& path, std::chrono::milliseconds limit) const;

    // Ends the simulator and returns its exit code (-1 if it did not exit normally).
    int Stop();

private:
    pid_t pid = -1;
};
