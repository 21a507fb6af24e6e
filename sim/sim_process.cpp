#include "sim/sim_process.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

SimProcess::SimProcess(const std::vector<std::string>& arguments, const std::string& program)
{
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    if (::posix_spawn(&pid, argv[0].c_str(), nullptr, nullptr, pointers.data(), environ) != 0)
        pid = -1;
}

SimProcess::~SimProcess() { Stop(); }

bool SimProcess::WaitForPath(const std::string& path, std::chrono::milliseconds limit) const
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() >= deadline || !Running())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool SimProcess::SaveFlash(const std::string& path, std::chrono::milliseconds limit) const
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (pid > 0) {
        ::kill(pid, SIGUSR1);
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        if (WaitForPath(path, std::min(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           deadline - now),
                                       std::chrono::milliseconds(500))))
            return true;
    }
    return false;
}

int SimProcess::Stop()
{
    if (pid <= 0)
        return -1;
    ::kill(pid, SIGTERM);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
