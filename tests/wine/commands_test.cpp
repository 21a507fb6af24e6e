// quillmark-flash.exe inspect and list under wine.

#include "support/expected_flash.h"
#include "support/temp_dir.h"
#include "wine_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

using ::testing::HasSubstr;

namespace {

// The flash content replaces the named file whole; nothing else is left.
TEST(WineInspect, ReplacesTheOutputWholeAndLeavesNothingElse)
{
    const WindowsBuild& build = WindowsBuild::Get();
    TempDir dir;
    const auto image = RandomBytes(3000, 91);
    const std::string path = dir.Write("fw.bin", image);
    const std::string output = dir.Write("out \xc3\xa9.bin", std::string(200000, 'x'));
    const auto result = build.Run(build.Program("cli/quillmark-flash.exe"),
                                  {"inspect", WindowsPath(path), "--mac", "123456789a", "--output",
                                   WindowsPath(output)});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const auto flash = ExpectedSerialFlash(image, "0050C2123456789A");
    EXPECT_EQ(ReadFileBytes(output), std::vector<std::uint8_t>(flash.begin(), flash.begin() + 8 + 3000));
    EXPECT_EQ(ReadFileBytes(path), image);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    EXPECT_THAT(names, ::testing::UnorderedElementsAre("fw.bin", "out \xc3\xa9.bin"));
}

TEST(WineInspect, RefusesToWriteOverTheImage)
{
    const WindowsBuild& build = WindowsBuild::Get();
    TempDir dir;
    const auto image = RandomBytes(3000, 92);
    const std::string path = dir.Write("fw.bin", image);
    const auto result = build.Run(build.Program("cli/quillmark-flash.exe"),
                                  {"inspect", WindowsPath(path), "--output", WindowsPath(path)});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_THAT(result.output, HasSubstr("the image file is never overwritten"));
    EXPECT_EQ(ReadFileBytes(path), image);
}

// list reads the board ports from the registry's serial port map and the
// images from the folder, and --watch ends in order on Ctrl-C.
TEST(WineList, ShowsTheRegistrysBoardPortAndTheFoldersImageAndStopsOnCtrlC)
{
    const WindowsBuild& build = WindowsBuild::Get();
    TempDir dir;
    dir.Write("fw_2.bin", std::string(16, 'x'));
    // Each new wine server fills the serial port map afresh from the prefix's
    // COM links, so one server, kept for some seconds, takes the value and
    // serves the listing. Neither it nor the services that the first program
    // starts may hold our pipe: they live on after the command.
    const auto keep = CommandLine({"env", "WINEPREFIX=" + build.Prefix(), "wineserver", "-p", "20"});
    ASSERT_EQ(RunCommand(keep + " >/dev/null 2>&1 &").exitCode, 0);
    const std::string keys = build.Program("tests/win32/registry_keys.exe");
    ASSERT_EQ(build.Run(keys, {"unplug"}).exitCode, 0);
    ASSERT_EQ(build.Run(keys, {"port", "COM37"}).exitCode, 0);
    const auto result = build.Run(build.Program("cli/quillmark-flash.exe"),
                                  {"list", "--watch", "--folder", WindowsPath(dir.Path().string())}, {},
                                  {"timeout", "--preserve-status", "-s", "INT", "4"});
    build.Run(keys, {"unplug"});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Board on COM37\n"));
    EXPECT_THAT(result.output, HasSubstr("No J-Link detected\n"));
    EXPECT_THAT(result.output, HasSubstr("Image fw_2.bin (" + WindowsPath(dir.Path().string()) + "\\fw_2.bin)"));
}

// As on a laptop without a COM port and with no probe since boot: the
// serial port map and the probe's Enum key are missing when list starts.
// The board and the probe plugged in later are listed, unplugged they go.
TEST(WineList, FollowsTheVolatileKeysMadeAfterStart)
{
    const WindowsBuild& build = WindowsBuild::Get();
    TempDir dir;
    // One wine server for the whole test: a new one would make the map
    // again from the prefix's COM links.
    const auto keep = CommandLine({"env", "WINEPREFIX=" + build.Prefix(), "wineserver", "-p", "30"});
    ASSERT_EQ(RunCommand(keep + " >/dev/null 2>&1 &").exitCode, 0);
    const std::string keys = build.Program("tests/win32/registry_keys.exe");
    ASSERT_EQ(build.Run(keys, {"unplug"}).exitCode, 0);
    const std::string out = (dir.Path() / "list.txt").string();
    const auto list = build.Command(build.Program("cli/quillmark-flash.exe"),
                                    {"list", "--watch", "--folder", WindowsPath(dir.Path().string())});
    const auto started = RunCommand("timeout --preserve-status -s INT 30 " + CommandLine(list) + " >" +
                                    ShellQuote(out) + " 2>&1 & echo $! >" + ShellQuote(out + ".pid"));
    ASSERT_EQ(started.exitCode, 0);

    EXPECT_TRUE(WaitForOutput(out, "No J-Link detected\n")) << Written(out);
    EXPECT_THAT(Written(out), HasSubstr("No board detected\n"));
    ASSERT_EQ(build.Run(keys, {"port", "COM37"}).exitCode, 0);
    ASSERT_EQ(build.Run(keys, {"probe"}).exitCode, 0);
    EXPECT_TRUE(WaitForOutput(out, "Board on COM37\n")) << Written(out);
    EXPECT_TRUE(WaitForOutput(out, "J-Link is active\n")) << Written(out);
    ASSERT_EQ(build.Run(keys, {"unplug"}).exitCode, 0);
    EXPECT_TRUE(WaitForOutput(out, "No board detected\n", "Board on COM37\n")) << Written(out);
    EXPECT_TRUE(WaitForOutput(out, "No J-Link detected\n", "J-Link is active\n")) << Written(out);

    // Ctrl-C ends the watch in order.
    const std::string pid = "$(cat " + ShellQuote(out + ".pid") + ")";
    RunCommand("kill -INT " + pid + "; while kill -0 " + pid + " 2>/dev/null; do sleep 0.1; done");
    EXPECT_THAT(Written(out), ::testing::Not(HasSubstr("Error")));
}

// On a Windows older than 10 the program refuses to start, and says why.
// The prefix plays Windows 7 for the one command (winecfg sets the version
// the way every later program of the prefix reads it), then 10 again.
TEST(WineSystem, AnOlderWindowsIsRefusedWithAMessage)
{
    const WindowsBuild& build = WindowsBuild::Get();
    TempDir dir;
    const std::string image = dir.Write("fw.bin", std::string(3000, 'x'));
    ASSERT_EQ(build.Run("winecfg", {"/v", "win7"}).exitCode, 0);
    const auto result = build.Run(build.Program("cli/quillmark-flash.exe"), {"inspect", WindowsPath(image)});
    ASSERT_EQ(build.Run("winecfg", {"/v", "win10"}).exitCode, 0);
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Quillmark needs Windows 10 (64-bit) or later. This computer runs "
                                         "Windows 6.1"));
    const auto after = build.Run(build.Program("cli/quillmark-flash.exe"), {"inspect", WindowsPath(image)});
    EXPECT_EQ(after.exitCode, 0) << after.output;
}

}  // namespace
