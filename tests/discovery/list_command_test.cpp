// quillmark-flash list, run as a real process against a fake device tree.

#include "fake_machine.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using ::testing::HasSubstr;

std::vector<std::string> ListArgs(const FakeMachine& machine, const TempDir& folder)
{
    return {QUILLMARK_FLASH, "list", "--sysfs-root", machine.Sysfs(), "--dev-root", machine.Dev(),
            "--folder", folder.Path().string()};
}

TEST(ListCommand, ShowsBoardsProbeAndImage)
{
    FakeMachine machine;
    TempDir folder;
    machine.PlugUsbSerial("ttyUSB0");
    machine.PlugUsbSerial("ttyACM3");
    machine.PlugUsbDevice(4);
    folder.Write("fw_1.bin", "image");
    folder.Write("fw_2.bin", "image");
    const auto result = RunCommand(CommandLine(ListArgs(machine, folder)));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "Board on ttyACM3\nBoard on ttyUSB0\nJ-Link is active\nImage fw_2.bin (" +
                                 folder / "fw_2.bin" + ")\n");
}

TEST(ListCommand, ShowsTheEmptyMachine)
{
    FakeMachine machine;
    TempDir folder;
    const auto result = RunCommand(CommandLine(ListArgs(machine, folder)));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output,
              "No board detected\nNo J-Link detected\nNo *.bin file found in " + folder.Path().string() + "\n");
}

TEST(ListCommand, AMissingFolderIsAUsageError)
{
    FakeMachine machine;
    TempDir folder;
    auto args = ListArgs(machine, folder);
    args.back() = folder / "missing";
    const auto result = RunCommand(CommandLine(args));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_THAT(result.output, HasSubstr("missing"));
}

// A running `list --watch` with its output read line by line.
class WatchingProcess {
public:
    explicit WatchingProcess(std::vector<std::string> args)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            throw std::runtime_error("posix_spawn");
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out = fds[0];
    }
    ~WatchingProcess()
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        ::close(out);
    }

    // Reads output until `text` has been printed since the last call; false
    // when the process ends or stays silent for a long time first.
    bool Expect(const std::string& text)
    {
        for (;;) {
            const auto at = pending.find(text);
            if (at != std::string::npos) {
                pending.erase(0, at + text.size());
                return true;
            }
            pollfd fd{out, POLLIN, 0};
            char chunk[1024];
            if (::poll(&fd, 1, 10000) <= 0)
                return false;
            const ssize_t n = ::read(out, chunk, sizeof chunk);
            if (n <= 0)
                return false;
            pending.append(chunk, static_cast<std::size_t>(n));
            all.append(chunk, static_cast<std::size_t>(n));
        }
    }

    // Ctrl-C; returns the exit code.
    int Interrupt()
    {
        ::kill(pid, SIGINT);
        int status = 0;
        ::waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string all;

private:
    pid_t pid = -1;
    int out = -1;
    std::string pending;
};

TEST(ListCommand, WatchShowsEachChangeUntilCtrlC)
{
    FakeMachine machine;
    TempDir folder;
    WatchingProcess list([&] {
        auto args = ListArgs(machine, folder);
        args.push_back("--watch");
        return args;
    }());
    ASSERT_TRUE(list.Expect("No *.bin file found in")) << list.all;

    machine.PlugUsbSerial("ttyUSB0");
    ASSERT_TRUE(list.Expect("Board on ttyUSB0\n")) << list.all;
    folder.Write("fw.bin", "image");
    ASSERT_TRUE(list.Expect("Image fw.bin (" + folder / "fw.bin" + ")\n")) << list.all;
    machine.PlugUsbDevice(5);
    ASSERT_TRUE(list.Expect("J-Link is active\n")) << list.all;

    machine.UnplugSerial("ttyUSB0");
    ASSERT_TRUE(list.Expect("No board detected\n")) << list.all;
    std::filesystem::remove(folder / "fw.bin");
    ASSERT_TRUE(list.Expect("No *.bin file found in")) << list.all;
    machine.UnplugUsbDevice(5);
    ASSERT_TRUE(list.Expect("No J-Link detected\n")) << list.all;

    EXPECT_EQ(list.Interrupt(), 0) << list.all;
}

}  // namespace
