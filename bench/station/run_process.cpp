#include "run_process.h"

#include "sim/sim_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>

std::string WriteBenchImage(const std::string& folder, std::size_t length)
{
    std::vector<char> image(length);
    std::mt19937 random(static_cast<std::uint32_t>(length));
    for (char& byte : image)
        byte = static_cast<char>(random());
    const std::string path = folder + "/fw.bin";
    std::ofstream(path, std::ios::binary).write(image.data(), static_cast<std::streamsize>(length));
    return path;
}

int RunProcess(std::vector<std::string> argv, const std::string& log)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> pointers;
    for (std::string& arg : argv)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::optional<double> TimeStationOnSimulatedBoards(std::vector<std::string> argv,
                                                   const std::string& folder, int boards,
                                                   std::string& error)
{
    std::vector<std::unique_ptr<SimProcess>> sims;
    for (int i = 0; i < boards; ++i) {
        const std::string link = folder + "/board" + std::to_string(i);
        sims.push_back(std::make_unique<SimProcess>(std::vector<std::string>{"--link", link}));
        if (!sims.back()->WaitForPath(link, std::chrono::seconds(10))) {
            error = "a simulator did not start";
            return std::nullopt;
        }
        argv.push_back("--port");
        argv.push_back(link);
    }
    const std::string log = folder + "/station.log";
    const auto started = std::chrono::steady_clock::now();
    const int exitCode = RunProcess(argv, log);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (exitCode != 0) {
        std::ifstream text(log);
        error = "the station did not program every board\n" +
                std::string(std::istreambuf_iterator<char>(text), {});
        return std::nullopt;
    }
    return seconds;
}
