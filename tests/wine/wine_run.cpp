#include "wine_run.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

const WindowsBuild& WindowsBuild::Get()
{
    static const WindowsBuild build = [] {
        WindowsBuild b;
        const char* folder = std::getenv("QUILLMARK_WINDOWS_BUILD");
        if (folder && *folder) {
            b.folder = std::filesystem::absolute(folder).string();
            b.prefix = b.folder + "/wineprefix";
        }
        return b;
    }();
    if (build.folder.empty())
        ADD_FAILURE() << "QUILLMARK_WINDOWS_BUILD names no Windows build; run these through "
                         "the Windows build's ctest (./test --windows)";
    return build;
}

std::string WindowsBuild::TempFolder() const
{
    const passwd* user = ::getpwuid(::getuid());
    return prefix + "/drive_c/users/" + (user ? user->pw_name : "root") + "/Temp";
}

std::vector<std::string> WindowsBuild::Command(const std::string& program,
                                               const std::vector<std::string>& arguments,
                                               const std::vector<std::string>& environment) const
{
    std::vector<std::string> argv{"env", "WINEPREFIX=" + prefix, "WINEDEBUG=-all"};
    argv.insert(argv.end(), environment.begin(), environment.end());
    argv.insert(argv.end(), {"wine", program});
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

CommandResult WindowsBuild::Run(const std::string& program, const std::vector<std::string>& arguments,
                                const std::vector<std::string>& environment,
                                const std::vector<std::string>& launcher) const
{
    std::vector<std::string> argv = launcher;
    const std::vector<std::string> command = Command(program, arguments, environment);
    argv.insert(argv.end(), command.begin(), command.end());
    // The services that wine starts with the first program of a prefix keep
    // that program's standard error, and outlive it: the output goes to a
    // file, read once the command itself has ended, and not to a pipe whose
    // end would wait for them.
    const TempDir outputFolder;
    const std::string output = outputFolder / "output";
    const int status = std::system((CommandLine(argv) + " >" + ShellQuote(output) + " 2>&1").c_str());
    std::ifstream in(output, std::ios::binary);
    CommandResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                         {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}};
    std::string plain;
    for (std::size_t i = 0; i < result.output.size(); ++i) {
        if (!(result.output[i] == '\r' && i + 1 < result.output.size() && result.output[i + 1] == '\n'))
            plain += result.output[i];
    }
    result.output = plain;
    return result;
}

std::string WindowsPath(const std::string& linuxPath)
{
    std::string path = "Z:" + std::filesystem::absolute(linuxPath).string();
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string Written(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string output = text.str();
    std::erase(output, '\r');
    return output;
}

bool WaitForOutput(const std::string& path, const std::string& text, const std::string& after)
{
    for (int tries = 0; tries < 400; ++tries) {
        const std::string output = Written(path);
        const auto last = after.empty() ? 0 : output.rfind(after);
        if (last != std::string::npos && output.find(text, last) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

