// quillmark-flash inspect, run as a real process.

#include "flash/flash_layout.h"
#include "support/expected_flash.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

CommandResult Inspect(const std::vector<std::string>& args)
{
    std::vector<std::string> argv{QUILLMARK_FLASH, "inspect"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunCommand(CommandLine(argv));
}

// What inspect writes: the flash content up to the image's end.
std::vector<std::uint8_t> ExpectedFlash(const std::vector<std::uint8_t>& image, const char* mac)
{
    std::vector<std::uint8_t> flash = ExpectedSerialFlash(image, mac);
    flash.resize(kHeaderSize + image.size());
    return flash;
}

TEST(InspectCommand, WritesHeaderImageAndMac)
{
    TempDir dir;
    const auto image = RandomBytes(5000, 9);
    const std::string path = dir.Write("fw.bin", image);
    const auto result = Inspect({path, "--mac", "0050c2123456789a", "--output", dir / "flash.bin"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("raw binary"));
    EXPECT_THAT(result.output, HasSubstr("5000 bytes"));
    EXPECT_EQ(ReadFileBytes(dir / "flash.bin"), ExpectedFlash(image, "0050C2123456789A"));
    EXPECT_EQ(ReadFileBytes(path), image);
}

TEST(InspectCommand, DefaultMacAndTenDigitForm)
{
    TempDir dir;
    const auto image = RandomBytes(2060, 4);
    const std::string path = dir.Write("fw.bin", image);
    ASSERT_EQ(Inspect({path, "--output", dir / "a.bin"}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir / "a.bin"), ExpectedFlash(image, "0050C20000000000"));
    ASSERT_EQ(Inspect({path, "--mac", "123456789A", "--output", dir / "b.bin"}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir / "b.bin"), ExpectedFlash(image, "0050C2123456789A"));
}

TEST(InspectCommand, ShowsTheAddressRunsOfAnSRecordImage)
{
    TempDir dir;
    const std::string path = dir.Write(
        "fw.mot", "S1070100AABBCCDDE9\nS1070200AABBCCDDE8\nS9030000FC\n");
    const auto result = Inspect({path});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("S-record"));
    EXPECT_THAT(result.output, HasSubstr("516 bytes"));
    EXPECT_THAT(result.output, HasSubstr("0x00000100 - 0x00000104"));
    EXPECT_THAT(result.output, HasSubstr("0x00000200 - 0x00000204"));
}

struct Refusal {
    const char* name;
    std::size_t imageSize;  // SIZE_MAX: no image file
    std::vector<std::string> extra;
    int exitCode;
    const char* message;
};
void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }


class InspectRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(InspectRefusal, ExitCodeAndMessage)
{
    const Refusal& c = GetParam();
    TempDir dir;
    std::string path = dir / "fw.bin";
    if (c.imageSize != SIZE_MAX)
        dir.Write("fw.bin", RandomBytes(c.imageSize, 2));
    std::vector<std::string> args{path, "--output", dir / "flash.bin"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const auto result = Inspect(args);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_THAT(result.output, HasSubstr(c.message));
    EXPECT_FALSE(std::filesystem::exists(dir / "flash.bin"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InspectRefusal,
    ::testing::Values(
        Refusal{"missing_image", SIZE_MAX, {}, 1, "Unable to open Flash File!\n"},
        Refusal{"empty_image", 0, {}, 1, "ERROR: File has size 0 !"},
        Refusal{"too_long_for_the_flash", 131064, {}, 1, "at most 131063 bytes fit"},
        Refusal{"too_long_for_the_block", 131073, {}, 1, "131073 bytes long; at most 131063 bytes fit"},
        Refusal{"bad_mac", 100, {"--mac", "0050C2XYZ"}, 2, "is not a MAC address"},
        Refusal{"short_mac", 100, {"--mac", "0050C2123"}, 2, "is not a MAC address"}),
    [](const auto& info) { return std::string(info.param.name); });

std::vector<std::string> Entries(const TempDir& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(InspectCommand, AnOutputThatCannotBeWrittenFailsAndLeavesNothing)
{
    TempDir dir;
    const std::string path = dir.Write("fw.bin", RandomBytes(300, 1));
    std::filesystem::create_directory(dir / "taken");
    const auto result = Inspect({path, "--output", dir / "taken"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("cannot write " + dir / "taken" + ": Is a directory"));
    EXPECT_THAT(Entries(dir), ElementsAre("fw.bin", "taken"));
}

// Whoever can write to the output's folder may have planted links there.
TEST(InspectCommand, TheOutputIsWrittenWithoutFollowingALinkPlantedBesideIt)
{
    TempDir dir;
    const auto image = RandomBytes(300, 1);
    const std::string path = dir.Write("fw.bin", image);
    const std::string victim = dir.Write("victim", "untouched");
    const auto victimBytes = ReadFileBytes(victim);
    std::filesystem::create_symlink(victim, dir / "flash.bin.partial");
    const auto result = Inspect({path, "--output", dir / "flash.bin"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(ReadFileBytes(dir / "flash.bin"), ExpectedFlash(image, "0050C20000000000"));
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "flash.bin"));
    EXPECT_EQ(ReadFileBytes(victim), victimBytes);
    EXPECT_THAT(Entries(dir), ElementsAre("flash.bin", "flash.bin.partial", "fw.bin", "victim"));
}

TEST(InspectCommand, NeverWritesOverTheImage)
{
    TempDir dir;
    const auto image = RandomBytes(300, 1);
    const std::string path = dir.Write("fw.bin", image);
    const auto result = Inspect({path, "--output", path});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(ReadFileBytes(path), image);
}

TEST(QuillmarkFlash, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(RunCommand(CommandLine({QUILLMARK_FLASH})).exitCode, 2);
    EXPECT_EQ(RunCommand(CommandLine({QUILLMARK_FLASH, "inspect"})).exitCode, 2);
    EXPECT_EQ(RunCommand(CommandLine({QUILLMARK_FLASH, "frobnicate"})).exitCode, 2);
    EXPECT_EQ(RunCommand(CommandLine({QUILLMARK_FLASH, "--help"})).exitCode, 0);
}

}  // namespace
