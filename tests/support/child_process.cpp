#include "support/child_process.h"

#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

ChildProcess::ChildProcess(std::vector<std::string> argv)
{
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::vector<char*> pointers;
    for (std::string& arg : argv)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    const int failed = posix_spawn(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    out = fds[0];
    if (failed != 0)
        throw std::runtime_error("posix_spawn " + argv[0]);
}

ChildProcess::~ChildProcess()
{
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    ::close(out);
}

bool ChildProcess::ReadSome(int timeoutMs)
{
    pollfd fd{out, POLLIN, 0};
    if (::poll(&fd, 1, timeoutMs) <= 0)
        return false;
    char chunk[4096];
    const ssize_t n = ::read(out, chunk, sizeof chunk);
    if (n <= 0)
        return false;
    all.append(chunk, static_cast<std::size_t>(n));
    return true;
}

bool ChildProcess::Expect(const std::string& text, std::chrono::seconds limit)
{
    for (;;) {
        const auto at = all.find(text, matched);
        if (at != std::string::npos) {
            matched = at + text.size();
            return true;
        }
        if (!ReadSome(static_cast<int>(std::chrono::milliseconds(limit).count())))
            return false;
    }
}

void ChildProcess::ReadAvailable()
{
    while (ReadSome(0)) {
    }
}

void ChildProcess::Signal(int signal) const
{
    if (pid > 0)
        ::kill(pid, signal);
}

int ChildProcess::Wait()
{
    while (ReadSome(60000)) {
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
