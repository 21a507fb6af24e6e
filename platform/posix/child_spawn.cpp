#include "platform/posix/child_spawn.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& t : texts)
        pointers.push_back(t.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The child starts with default handling of the signals a program expects
// and none blocked, whatever this process ignores or blocks.
void ResetSignals()
{
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int s : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGUSR1})
        ::sigaction(s, &defaults, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Between fork and exec only async-signal-safe calls: another thread may
// have held the allocator's lock at the fork.
// Tells the parent why the child never became the program.
[[noreturn]] void ReportAndExit(int reportFd)
{
    const int failure = errno;
    [[maybe_unused]] const auto written = ::write(reportFd, &failure, sizeof failure);
    ::_exit(127);
}

[[noreturn]] void BecomeChild(const ChildSpawn& spawn, pid_t parent, char* const* argv,
                              char* const* env, int reportFd)
{
    ::prctl(PR_SET_PDEATHSIG, spawn.deathSignal);
    // The parent may have died before the line above: then nobody would
    // send the signal.
    if (::getppid() != parent)
        ::_exit(127);
    ResetSignals();
    const int targets[] = {0, 1, 2};
    const int sources[] = {spawn.input, spawn.output, spawn.errorOutput};
    for (int i = 0; i < 3; ++i)
        if (sources[i] >= 0 && ::dup2(sources[i], targets[i]) < 0)
            ReportAndExit(reportFd);
    if (!spawn.workingDirectory.empty() && ::chdir(spawn.workingDirectory.c_str()) != 0)
        ReportAndExit(reportFd);
    ::execve(argv[0], argv, env);
    ReportAndExit(reportFd);
}

// What the child reported before exec: nothing (0) once exec succeeded,
// since the pipe closes on exec.
int ReadExecError(int fd)
{
    int failure = 0;
    ssize_t n;
    do {
        n = ::read(fd, &failure, sizeof failure);
    } while (n < 0 && errno == EINTR);
    return n == sizeof failure ? failure : 0;
}

}  // namespace

pid_t SpawnChild(const ChildSpawn& spawn, std::string& error)
{
    std::vector<std::string> argvTexts = spawn.argv;
    std::vector<std::string> envTexts = spawn.environment;
    if (argvTexts.empty()) {
        error = "no program";
        return -1;
    }
    std::vector<char*> argv = Pointers(argvTexts);
    std::vector<char*> env = Pointers(envTexts);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return -1;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
        BecomeChild(spawn, parent, argv.data(), spawn.environment.empty() ? environ : env.data(),
                    report[1]);
    ::close(report[1]);
    const int failure = pid < 0 ? errno : ReadExecError(report[0]);
    ::close(report[0]);
    if (failure == 0)
        return pid;
    if (pid > 0)
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    error = std::strerror(failure);
    return -1;
}
