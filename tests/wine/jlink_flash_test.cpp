// quillmark-flash.exe flash --jlink under wine, with the Windows J-Link
// stand-in installed as jlink\jlink.exe below the program's folder.

#include "data/target_code.h"
#include "jlink/expected_script.h"
#include "support/expected_flash.h"
#include "support/process_table.h"
#include "support/temp_dir.h"
#include "wine_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using ::testing::HasSubstr;
using ::testing::Not;

namespace fs = std::filesystem;

namespace {

bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

class WineJLinkFlash : public ::testing::Test {
protected:
    // The Windows temporary folder is the prefix's, shared by every run: the
    // tests start from a clean one (the Windows build's CTest runs them one
    // at a time).
    void SetUp() override
    {
        fs::create_directories(temp);
        for (const auto& entry : fs::directory_iterator(temp))
            fs::remove_all(entry.path());
        fs::create_directories(dir / "program");
        fs::copy_file(build.Program("cli/quillmark-flash.exe"), dir / "program/quillmark-flash.exe");
    }

    void InstallTool()
    {
        fs::create_directories(dir / "program/jlink");
        fs::copy_file(build.Program("sim/jlink/jlink-standin.exe"), dir / "program/jlink/jlink.exe");
    }

    CommandResult Flash(const std::vector<std::string>& args, const std::string& fault = "")
    {
        std::vector<std::string> argv{"flash", "--jlink"};
        argv.insert(argv.end(), args.begin(), args.end());
        return build.Run(dir / "program/quillmark-flash.exe", argv,
                         {"QUILLMARK_JLINK_SLEEP_SCALE=0",
                          "QUILLMARK_JLINK_FLASH_FILE=" + WindowsPath(flashFile),
                          "QUILLMARK_JLINK_KEEP_JOB=" + WindowsPath(kept), "QUILLMARK_JLINK_FAULT=" + fault});
    }

    std::vector<std::string> TempEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(temp))
            names.push_back(entry.path().filename().string());
        return names;
    }

    std::string Text(const std::string& path) const
    {
        const auto bytes = ReadFileBytes(path);
        return {bytes.begin(), bytes.end()};
    }

    const WindowsBuild& build = WindowsBuild::Get();
    const std::string temp = build.TempFolder();
    TempDir dir;
    const std::string flashFile = dir / "flash.bin";
    const std::string kept = dir / "kept";
};

// The script names the job files with Windows' separator, byte for byte as
// the tool expects them; the pieces, the loader and the flash agree.
TEST_F(WineJLinkFlash, ProgramsThroughTheToolBelowTheProgramFolder)
{
    InstallTool();
    const auto image = RandomBytes(10000, 81);
    // The image's copy in the temporary folder takes its name.
    const std::string path = dir.Write("fw \xe6\xb8\xa9\xc3\xa9.bin", image);
    const auto result = Flash({"--mac", "0050c2123456789a", WindowsPath(path)});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Programming Flash...\n"));
    EXPECT_THAT(result.output, HasSubstr("Progress: 100%\nFirmware update successful! Please reset the board.\n"));
    EXPECT_THAT(result.output, Not(HasSubstr("jlink:")));

    std::string script = ExpectedScriptFor10000();
    for (std::size_t at; (at = script.find("temp_jlinkloader/")) != std::string::npos;)
        script[at + 16] = '\\';
    EXPECT_EQ(Text(kept + "/jlinkscript.txt"), script);
    const auto flash = ExpectedJLinkFlash(image, "0050C2123456789A");
    const std::vector<std::pair<std::size_t, std::size_t>> pieces{{8, 4088}, {4096, 4096}, {8192, 1816}};
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto [start, size] = pieces[i];
        EXPECT_EQ(ReadFileBytes(kept + "/temp_image_0" + std::to_string(i) + ".bin"),
                  std::vector<std::uint8_t>(flash.begin() + start, flash.begin() + start + size))
            << i;
    }
    const auto loader = FlashLoader();
    EXPECT_EQ(ReadFileBytes(kept + "/flashloader.bin"), std::vector<std::uint8_t>(loader.begin(), loader.end()));
    EXPECT_EQ(ReadFileBytes(flashFile), flash);
    EXPECT_EQ(ReadFileBytes(path), image);

    // Only the log stays, in the user's temporary folder.
    EXPECT_THAT(TempEntries(), ::testing::ElementsAre("jlink.log"));
    EXPECT_THAT(Text(temp + "/jlink.log"), HasSubstr("Script processing completed."));
    EXPECT_THAT(result.output, HasSubstr("J-Link log: C:\\users\\"));
}

TEST_F(WineJLinkFlash, AToolErrorFailsSaysWhyAndCleansUp)
{
    InstallTool();
    const std::string path = dir.Write("fw.bin", RandomBytes(9000, 82));
    const auto result = Flash({WindowsPath(path)}, "no-probe");
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Error during flash programming. Go Back and try again.\n"));
    EXPECT_THAT(result.output, HasSubstr("jlink: Error: jlink.exe reported: ****** Error"));
    EXPECT_THAT(TempEntries(), ::testing::Each("jlink.log"));
}

// The tool runs in a job object that ends it when its last handle closes: a
// quillmark-flash.exe that is killed outright takes the hanging tool along.
TEST_F(WineJLinkFlash, TheToolDoesNotOutliveAKilledProgram)
{
    InstallTool();
    const std::string path = dir.Write("fw.bin", RandomBytes(9000, 84));
    std::vector<std::string> command = build.Command(
        dir / "program/quillmark-flash.exe", {"flash", "--jlink", WindowsPath(path)},
        {"QUILLMARK_JLINK_SLEEP_SCALE=0", "QUILLMARK_JLINK_FAULT=hang"});
    std::vector<char*> argv;
    for (std::string& word : command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Nothing of the test's own output is handed on: a tool left behind
    // would hold it open.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t program = 0;
    ASSERT_EQ(posix_spawnp(&program, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);

    // Killed the moment the tool exists: it is in the job from its start.
    const std::string tool = WindowsPath(dir / "program/jlink/jlink.exe");
    const bool toolRan = WaitFor([&] { return !ProcessesWith(tool).empty(); }, std::chrono::seconds(30));
    ::kill(program, SIGKILL);  // env has become wine running the program: same process
    int status = 0;
    ::waitpid(program, &status, 0);
    ASSERT_TRUE(toolRan);
    EXPECT_TRUE(WaitFor([&] { return ProcessesWith(tool).empty(); }, std::chrono::seconds(10)));
    for (const RunningProcess& left : ProcessesWith(tool))
        ::kill(left.pid, SIGKILL);
}

TEST_F(WineJLinkFlash, AMissingToolIsNamedAsBelowTheProgramFolder)
{
    const std::string path = dir.Write("fw.bin", RandomBytes(3000, 83));
    const auto result = Flash({WindowsPath(path)});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("Error: Cannot find jlink.exe: jlink\\jlink.exe\n"));
    EXPECT_THAT(result.output, HasSubstr("Error during flash programming."));
    EXPECT_THAT(TempEntries(), ::testing::IsEmpty());
}

// The tool has no console of its own, so the closing of the program's
// console does not reach it: the program's handler ends the tool and waits
// for the job to remove its files before the process ends. The event comes
// as Windows sends it, and the program is ended after the handler.
TEST_F(WineJLinkFlash, ClosingTheConsoleEndsTheToolAndRemovesTheJobFiles)
{
    InstallTool();
    const std::string path = dir.Write("fw.bin", RandomBytes(9000, 85));
    const std::string out = dir / "flash.txt";
    const auto command = build.Command(dir / "program/quillmark-flash.exe", {"flash", "--jlink", WindowsPath(path)},
                                       {"QUILLMARK_JLINK_SLEEP_SCALE=0", "QUILLMARK_JLINK_FAULT=hang"});
    ASSERT_EQ(RunCommand("timeout 60 " + CommandLine(command) + " >" + ShellQuote(out) + " 2>&1 &").exitCode, 0);
    const std::string tool = WindowsPath(dir / "program/jlink/jlink.exe");
    ASSERT_TRUE(WaitFor([&] { return !ProcessesWith(tool).empty(); }, std::chrono::seconds(30)));

    const auto sent = build.Run(build.Program("tests/win32/console_event.exe"), {"close", "quillmark-flash.exe"});
    EXPECT_EQ(sent.exitCode, 0) << sent.output;
    int ms = -1;
    ASSERT_EQ(std::sscanf(sent.output.c_str(), "handled in %d ms", &ms), 1) << sent.output;
    EXPECT_LT(ms, 5000) << "Windows ends the program 5 s after the event";
    EXPECT_TRUE(WaitFor([&] { return ProcessesWith(tool).empty(); }, std::chrono::seconds(10)));
    EXPECT_THAT(Written(out), HasSubstr("Interrupted; stopping the job."));
    EXPECT_THAT(TempEntries(), ::testing::Each("jlink.log"));
    for (const RunningProcess& left : ProcessesWith(tool))
        ::kill(left.pid, SIGKILL);
}

}  // namespace
