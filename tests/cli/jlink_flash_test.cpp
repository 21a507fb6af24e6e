// quillmark-flash flash --jlink, run as a real process with the J-Link
// stand-in as its tool.

#include "support/child_process.h"
#include "support/expected_flash.h"
#include "support/process_table.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

#include <filesystem>

using ::testing::HasSubstr;
using ::testing::Not;

namespace fs = std::filesystem;

namespace {

class JLinkFlashCommand : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir / "tmp"); }

    // Runs quillmark-flash (or `program`) with the stand-in's options and
    // the test's temporary folder.
    CommandResult Flash(const std::vector<std::string>& args, const std::string& fault = "",
                        const std::string& program = QUILLMARK_FLASH)
    {
        return RunCommand(CommandLine(FlashCommand(args, fault, program)));
    }

    std::vector<std::string> FlashCommand(const std::vector<std::string>& args,
                                          const std::string& fault = "",
                                          const std::string& program = QUILLMARK_FLASH)
    {
        std::vector<std::string> argv{"/usr/bin/env"};
        argv.insert(argv.end(), environment.begin(), environment.end());
        argv.insert(argv.end(), {"TMPDIR=" + (dir / "tmp"), "QUILLMARK_JLINK_SLEEP_SCALE=0",
                                 "QUILLMARK_JLINK_FLASH_FILE=" + flashFile,
                                 "QUILLMARK_JLINK_FAULT=" + fault, program, "flash", "--jlink"});
        argv.insert(argv.end(), args.begin(), args.end());
        return argv;
    }

    // What the job left in its own folder below the temporary folder.
    std::vector<std::string> TempEntries() const
    {
        std::vector<std::string> names;
        const fs::path jobFolder = UsualFolder();
        std::error_code absent;
        for (const auto& entry : fs::directory_iterator(jobFolder, absent))
            names.push_back(entry.path().filename().string());
        return names;
    }

    std::string UsualFolder() const { return dir / ("tmp/quillmark-" + std::to_string(::getuid())); }

    TempDir dir;
    std::string flashFile = dir / "flash.bin";
    std::vector<std::string> environment;  // env's options and settings before the test's own
};

TEST_F(JLinkFlashCommand, ProgramsTheTargetThroughTheGivenTool)
{
    const auto image = RandomBytes(9000, 51);
    const std::string path = dir.Write("fw.bin", image);
    const auto result = Flash({"--jlink-tool", JLINK_STANDIN, "--mac", "0050c2123456789a", path});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Programming Flash...\n"));
    EXPECT_THAT(result.output, HasSubstr("Progress: 100%\n"));
    EXPECT_THAT(result.output, HasSubstr("Firmware update successful! Please reset the board.\n"));
    EXPECT_THAT(result.output, Not(HasSubstr("jlink:")));
    EXPECT_THAT(result.output, HasSubstr("J-Link log: " + UsualFolder() + "/jlink.log\n"));
    EXPECT_EQ(ReadFileBytes(flashFile), ExpectedJLinkFlash(image, "0050C2123456789A"));
    EXPECT_EQ(ReadFileBytes(path), image);
    EXPECT_THAT(TempEntries(), ::testing::ElementsAre("jlink.log"));
}

// A killed command line takes its tool with it, as the OOM killer would
// kill it: nothing drives the probe on unseen. While a tool runs no second
// job starts in its folder; once it is gone the next job clears what the
// killed one left there.
TEST_F(JLinkFlashCommand, AKilledJobTakesItsToolAndTheNextJobClearsItsFiles)
{
    const auto image = RandomBytes(9000, 56);
    const std::string path = dir.Write("fw.bin", image);
    const auto toolsRunning = [this] { return ProcessesWorkingIn(UsualFolder()).size(); };
    ChildProcess killed(FlashCommand({"--jlink-tool", JLINK_STANDIN, path}, "hang"));
    ASSERT_TRUE(WaitForCount(toolsRunning, 1, std::chrono::seconds(10)));

    const auto refused = Flash({"--jlink-tool", JLINK_STANDIN, path});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_THAT(refused.output, HasSubstr("Another J-Link job is still running in " + UsualFolder()));

    killed.Signal(SIGKILL);
    killed.Wait();
    EXPECT_TRUE(WaitForCount(toolsRunning, 0, std::chrono::seconds(1)));
    EXPECT_THAT(TempEntries(), ::testing::Contains("fw.bin.jlink-copy"));

    const auto next = Flash({"--jlink-tool", JLINK_STANDIN, path});
    ASSERT_EQ(next.exitCode, 0) << next.output;
    EXPECT_EQ(ReadFileBytes(flashFile), ExpectedJLinkFlash(image, "0050C20000000000"));
    EXPECT_THAT(TempEntries(), ::testing::ElementsAre("jlink.log"));
}

TEST_F(JLinkFlashCommand, FindsTheToolBelowItsOwnFolder)
{
    fs::create_directories(dir / "program/jlink");
    fs::copy_file(QUILLMARK_FLASH, dir / "program/quillmark-flash");
    fs::create_symlink(JLINK_STANDIN, dir / "program/jlink/JLinkExe");
    const auto image = RandomBytes(3000, 52);
    const auto result = Flash({dir.Write("fw.bin", image)}, "", dir / "program/quillmark-flash");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(ReadFileBytes(flashFile), ExpectedJLinkFlash(image, "0050C20000000000"));
}

TEST_F(JLinkFlashCommand, AToolErrorFailsAndSaysWhy)
{
    const std::string path = dir.Write("fw.bin", RandomBytes(9000, 53));
    const auto result = Flash({"--jlink-tool", JLINK_STANDIN, path}, "no-probe");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("Error during flash programming. Go Back and try again.\n"));
    EXPECT_THAT(result.output, HasSubstr("jlink: Error: J-Link Commander (JLinkExe) reported: ****** Error"));
    EXPECT_THAT(result.output, Not(HasSubstr("successful")));
    EXPECT_THAT(TempEntries(), ::testing::Each("jlink.log"));
}

TEST_F(JLinkFlashCommand, AMissingToolIsNamedWithWhereItWasLookedFor)
{
    const std::string image = dir.Write("fw.bin", RandomBytes(3000, 54));
    const std::string given = dir / "no/such/tool";
    // Without --jlink-tool: below the program's own folder.
    fs::create_directories(dir / "program");
    fs::copy_file(QUILLMARK_FLASH, dir / "program/quillmark-flash");
    const std::string below = fs::canonical(dir / "program").string() + "/jlink/JLinkExe";
    for (const auto& [result, tool] :
         {std::pair{Flash({"--jlink-tool", given, image}), given},
          std::pair{Flash({image}, "", dir / "program/quillmark-flash"), below}}) {
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_THAT(result.output,
                    HasSubstr("Error: Cannot find J-Link Commander (JLinkExe): " + tool + "\n"));
        EXPECT_THAT(result.output, HasSubstr("Error during flash programming."));
    }
    EXPECT_THAT(TempEntries(), ::testing::IsEmpty());
}

// The usual folder taken by someone else: every run uses the same private
// folder instead, and says where its log is.
TEST_F(JLinkFlashCommand, WithTheUsualFolderTakenTheLogStaysInOnePlace)
{
    fs::create_directories(dir / "elsewhere");
    fs::create_directory_symlink(dir / "elsewhere", UsualFolder());
    environment = {"-u", "XDG_RUNTIME_DIR", "-u", "XDG_CACHE_HOME", "HOME=" + (dir / "home")};
    const std::string path = dir.Write("fw.bin", RandomBytes(3000, 55));
    const std::string log = dir / "home/.cache/quillmark/jlink.log";
    for (int run = 0; run < 2; ++run) {
        const auto result = Flash({"--jlink-tool", JLINK_STANDIN, path});
        ASSERT_EQ(result.exitCode, 0) << result.output;
        EXPECT_THAT(result.output, HasSubstr("J-Link log: " + log + "\n"));
    }
    const auto bytes = ReadFileBytes(log);
    const std::string text(bytes.begin(), bytes.end());
    const std::string completed = "Script processing completed.";
    EXPECT_NE(text.find(completed), text.rfind(completed));
    EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
}

// An image that does not load is refused before the job starts: its reason
// is all there is to read.
TEST_F(JLinkFlashCommand, ARefusedImageIsNotProgrammed)
{
    const std::string path = dir.Write("fw.s19", "S1 this is no record\n");
    const auto result = Flash({"--jlink-tool", JLINK_STANDIN, path});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("S-record file"));
    EXPECT_THAT(result.output, Not(HasSubstr("Programming Flash...")));
    EXPECT_FALSE(fs::exists(flashFile));
}

}  // namespace
