// quillmark-flash list, run as a real process against a fake device tree.

#include "fake_machine.h"
#include "support/child_process.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

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

TEST(ListCommand, WatchShowsEachChangeUntilCtrlC)
{
    FakeMachine machine;
    TempDir folder;
    ChildProcess list([&] {
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

    list.Signal(SIGINT);
    EXPECT_EQ(list.Wait(), 0) << list.all;
}

}  // namespace
