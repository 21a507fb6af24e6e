#include "support/process_table.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> CommandLineOf(const fs::path& process)
{
    std::ifstream in(process / "cmdline", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::string> argv;
    std::istringstream parts(text);
    for (std::string arg; std::getline(parts, arg, '\0');)
        argv.push_back(arg);
    return argv;
}

pid_t ParentOf(const fs::path& process)
{
    std::ifstream in(process / "stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
