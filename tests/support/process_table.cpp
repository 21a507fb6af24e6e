#include "support/process_table.h"

#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A process may end while its files are read, and the read then fails with
// ESRCH: such a process reads as empty rather than throwing as a stream would.
std::string ReadProcessFile(const fs::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string text;
    char chunk[4096];
    ssize_t got = 0;
    while ((got = ::read(fd, chunk, sizeof chunk)) > 0)
        text.append(chunk, static_cast<std::size_t>(got));
    ::close(fd);
    return got < 0 ? std::string() : text;
}

std::vector<std::string> CommandLineOf(const fs::path& process)
{
    const std::string text = ReadProcessFile(process / "cmdline");
    std::vector<std::string> argv;
    std::istringstream parts(text);
    for (std::string arg; std::getline(parts, arg, '\0');)
        argv.push_back(arg);
    return argv;
}

pid_t ParentOf(const fs::path& process)
{
    const std::string text = ReadProcessFile(process / "stat");
    if (text.empty())
        return 0;
    // "pid (name) state ppid ...": the name may hold spaces and parentheses.
    std::istringstream rest(text.substr(text.rfind(')') + 1));
    std::string state;
    pid_t parent = 0;
    rest >> state >> parent;
    return parent;
}

template <typename Visit>
void EachProcess(Visit visit)
{
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator("/proc", ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") == std::string::npos)
            visit(static_cast<pid_t>(std::stol(name)), entry.path());
    }
}

}  // namespace

std::vector<RunningProcess> ProcessesWith(const std::string& part)
{
    std::vector<RunningProcess> found;
    EachProcess([&](pid_t pid, const fs::path& process) {
        const auto argv = CommandLineOf(process);
        for (const std::string& arg : argv)
            if (arg.find(part) != std::string::npos) {
                found.push_back({pid, ParentOf(process), argv});
                return;
            }
    });
    return found;
}

std::vector<pid_t> ProcessesWorkingIn(const std::string& folder)
{
    std::vector<pid_t> found;
    EachProcess([&](pid_t pid, const fs::path& process) {
        std::error_code ignored;
        if (fs::read_symlink(process / "cwd", ignored) == fs::path(folder))
            found.push_back(pid);
    });
    return found;
}
