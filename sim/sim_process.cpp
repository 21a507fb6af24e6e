#include "sim/sim_process.h"

#include "platform/posix/child_spawn.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>

// Whoever started the board is its only user: it goes when they do, even
// when they were killed. SIGTERM, so that it removes its link on the way.
SimProcess::SimProcess(const std::vector<std::string>& arguments, const std::string& program)
{
    ChildSpawn spawn;
    spawn.argv = {program};
    spawn.argv.insert(spawn.argv.end(), arguments.begin(), arguments.end());
    spawn.deathSignal = SIGTERM;
    std::string ignored;
    pid = SpawnChild(spawn, ignored);
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
