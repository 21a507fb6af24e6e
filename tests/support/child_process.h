#pragma once
// A program run as a child process whose merged output is read while it
// runs: wait for a line, send it a signal, collect its exit code.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

class ChildProcess {
public:
    explicit ChildProcess(std::vector<std::string> argv);
    ~ChildProcess();  // kills the child if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads output until `text` has appeared since the last match; false when
    // the child ends or stays silent for `limit` first.
    bool Expect(const std::string& text, std::chrono::seconds limit = std::chrono::seconds(20));

    // Takes in what the child has printed by now, without waiting.
    void ReadAvailable();

    void Signal(int signal) const;
    pid_t Pid() const { return pid; }
    // Waits for the end, reading the rest of the output; the exit code, or
    // -1 when the child did not exit normally.
    int Wait();

    std::string all;  // everything the child has printed so far

private:
    bool ReadSome(int timeoutMs);

    pid_t pid = -1;
    int out = -1;
    std::size_t matched = 0;  // where the next Expect starts looking
};
