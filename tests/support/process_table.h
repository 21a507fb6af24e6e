#pragma once
// The machine's running processes, looked up as a user would with ps: to see
// what a program left running after it ended.

#include <chrono>
#include <string>
#include <thread>
#include <sys/types.h>
#include <vector>

struct RunningProcess {
    pid_t pid;
    pid_t parent;
    std::vector<std::string> argv;
};

// Every live process whose command line has an argument containing `part`
// (zombies have none and are left out).
std::vector<RunningProcess> ProcessesWith(const std::string& part);

// Every live process whose working directory is `folder`.
std::vector<pid_t> ProcessesWorkingIn(const std::string& folder);

// Waits until `count()` returns `wanted`, at most `limit`; true when it did.
template <typename Count>
bool WaitForCount(Count count, std::size_t wanted, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (count() != wanted) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
