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

// Until Windows' own sources are there, list says what it cannot see, and
// --watch ends in order on Ctrl-C.
TEST(WineList, ShowsWhatItCanAndStopsOnCtrlC)
{
    const WindowsBuild& build = WindowsBuild::Get();
    TempDir dir;
    const auto result = build.Run(build.Program("cli/quillmark-flash.exe"),
                                  {"list", "--watch", "--folder", WindowsPath(dir.Path().string())}, {},
                                  {"timeout", "--preserve-status", "-s", "INT", "4"});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("No board detected\nNo J-Link detected\n"));
    EXPECT_THAT(result.output, HasSubstr("not yet available on Windows"));
}

}  // namespace
