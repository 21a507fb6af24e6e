#include "platform/process.h"
#include "platform/sleep.h"

#include "platform/posix/child_spawn.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int Milliseconds(Clock::duration d)
{
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
    return ms < 0 ? 0 : ms > 1000000 ? 1000000 : static_cast<int>(ms);
}

std::string ErrorText(int error) { return std::strerror(error); }

class PosixProcess final : public IProcess {
public:
    PosixProcess(pid_t pid, int outputFd) : pid(pid), outputFd(outputFd)
    {
        // A process descriptor lets the wait block in poll; without one
        // (old kernels) the wait looks again every few milliseconds.
        pidFd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    }

    ~PosixProcess() override
    {
        Terminate();
        {
            std::lock_guard lock(mutex);
            if (!reaped)
                Reap(0);
        }
        if (pidFd >= 0)
            ::close(pidFd);
        ::close(outputFd);
    }

    ProcessRead Read(char* buffer, std::size_t size, std::chrono::milliseconds wait) override
    {
        const auto deadline = Clock::now() + wait;
        for (;;) {
            pollfd fd{outputFd, POLLIN, 0};
            const int ready = ::poll(&fd, 1, Milliseconds(deadline - Clock::now()));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready == 0)
                return {ProcessRead::Kind::Timeout};
            const ssize_t n = ::read(outputFd, buffer, size);
            if (n > 0)
                return {ProcessRead::Kind::Data, static_cast<std::size_t>(n)};
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN)
                return {ProcessRead::Kind::Timeout};
            return {ProcessRead::Kind::End};
        }
    }

    ProcessExit WaitForExit(std::chrono::milliseconds limit) override
    {
        const auto deadline = Clock::now() + limit;
        for (;;) {
            {
                std::lock_guard lock(mutex);
                if (reaped || Reap(WNOHANG))
                    return exit;
            }
            const int left = Milliseconds(deadline - Clock::now());
            if (left == 0)
                return {};
            if (pidFd >= 0) {
                pollfd fd{pidFd, POLLIN, 0};
                ::poll(&fd, 1, left);
            } else {
                // Kernels before pidfd (5.3) have no handle to wait on. Only
                // the end of the tool is waited for here, after its output
                // has ended, so the slices cost a job at most one of them.
                PlatformSleep(std::chrono::milliseconds(left < 5 ? left : 5));
            }
        }
    }

    void Terminate() override
    {
        // Reaping happens under the same lock, so the signal never reaches a
        // recycled process id.
        std::lock_guard lock(mutex);
        if (!reaped)
            ::kill(pid, SIGKILL);
    }

private:
    // Caller holds the lock. True once the process has been collected.
    bool Reap(int options)
    {
        int status = 0;
        pid_t got;
        do {
            got = ::waitpid(pid, &status, options);
        } while (got < 0 && errno == EINTR);
        if (got == 0)
            return false;
        reaped = true;
        exit.ended = true;
        if (got == pid && WIFSIGNALED(status)) {
            exit.bySignal = true;
            exit.code = WTERMSIG(status);
        } else if (got == pid) {
            exit.code = WEXITSTATUS(status);
        }
        return true;
    }

    const pid_t pid;
    const int outputFd;
    int pidFd = -1;
    std::mutex mutex;
    bool reaped = false;
    ProcessExit exit;
};

// The caller's environment with the extra entries, each replacing an entry
// of the same name.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra)
{
    std::vector<std::string> result;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('=') + 1);
        bool replaced = false;
        for (const std::string& e : extra)
            replaced = replaced || e.compare(0, name.size(), name) == 0;
        if (!replaced)
            result.push_back(text);
    }
    result.insert(result.end(), extra.begin(), extra.end());
    return result;
}

// Standard input and error are the null device; the tool dies with us.
pid_t Spawn(const ProcessStart& start, int outputFd, std::string& error)
{
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null < 0) {
        error = "cannot open /dev/null: " + ErrorText(errno);
        return -1;
    }
    ChildSpawn spawn;
    spawn.argv = {start.program};
    spawn.argv.insert(spawn.argv.end(), start.arguments.begin(), start.arguments.end());
    spawn.environment = ChildEnvironment(start.extraEnvironment);
    spawn.workingDirectory = start.workingDirectory;
    spawn.input = null;
    spawn.output = outputFd;
    spawn.errorOutput = null;
    const pid_t pid = SpawnChild(spawn, error);
    ::close(null);
    return pid;
}

}  // namespace

std::unique_ptr<IProcess> StartProcess(const ProcessStart& start, std::string& error)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        error = "cannot create a pipe: " + ErrorText(errno);
        return nullptr;
    }
    const pid_t pid = Spawn(start, fds[1], error);
    // The child holds its own copy of the write end: the pipe ends when it does.
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return nullptr;
    }
    return std::make_unique<PosixProcess>(pid, fds[0]);
}
