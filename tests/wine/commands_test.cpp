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
    const std::string map = "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM";
    const auto add = build.Command("reg", {"add", map, "/v", "\\Device\\VCP7", "/d", "COM37", "/f"});
    ASSERT_EQ(RunCommand(CommandLine(add) + " >/dev/null 2>&1").exitCode, 0);
    const auto result = build.Run(build.Program("cli/quillmark-flash.exe"),
                                  {"list", "--watch", "--folder", WindowsPath(dir.Path().string())}, {},
                                  {"timeout", "--preserve-status", "-s", "INT", "4"});
    build.Run("reg", {"delete", map, "/v", "\\Device\\VCP7", "/f"});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Board on COM37\n"));
    EXPECT_THAT(result.output, HasSubstr("No J-Link detected\n"));
    EXPECT_THAT(result.output, HasSubstr("Image fw_2.bin (" + WindowsPath(dir.Path().string()) + "\\fw_2.bin)"));
}

}  // namespace
