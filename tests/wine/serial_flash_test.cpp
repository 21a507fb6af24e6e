// quillmark-flash.exe flash --port COMn under wine, against velkan-board-sim
// on a pseudo-terminal that the wine prefix knows as COMn.

#include "sim/sim_process.h"
#include "support/expected_flash.h"
#include "support/temp_dir.h"
#include "wine_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// The port's number; the tests of this program run one at a time (the
// Windows build's CTest locks the prefix for them).
constexpr const char* kPort = "COM31";

class WineSerialFlash : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(link); }
    void TearDown() override
    {
        sim.reset();
        std::filesystem::remove(link);
    }

    void Plug(std::vector<std::string> extra = {})
    {
        std::vector<std::string> args{"--link", link, "--flash-out", flashFile, "--fast"};
        args.insert(args.end(), extra.begin(), extra.end());
        sim = std::make_unique<SimProcess>(args);
        ASSERT_TRUE(sim->WaitForPath(link, std::chrono::seconds(10)));
    }

    CommandResult Flash(const std::vector<std::string>& args,
                        const std::vector<std::string>& launcher = {})
    {
        std::vector<std::string> argv{"flash"};
        argv.insert(argv.end(), args.begin(), args.end());
        return build.Run(build.Program("cli/quillmark-flash.exe"), argv, {}, launcher);
    }

    const WindowsBuild& build = WindowsBuild::Get();
    // wine opens \\.\COM31 as whatever this link in the prefix points at.
    const std::string link = build.Prefix() + "/dosdevices/com31";
    TempDir dir;
    const std::string flashFile = dir / "flash.bin";
    std::unique_ptr<SimProcess> sim;
};

TEST_F(WineSerialFlash, ProgramsTheBoardByteForByte)
{
    Plug();
    const auto image = RandomBytes(20000, 71);
    // A name outside every narrow code page reaches the job intact.
    const std::string path = dir.Write("fw \xe6\xb8\xa9\xc3\xa9.bin", image);
    const auto result = Flash({WindowsPath(path), "--port", kPort, "--mac", "123456789a"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Opening port...\nOpened USB connection\nConnected\n"));
    EXPECT_THAT(result.output,
                HasSubstr("Progress: 100%\nFirmware update successful! Please reset the board.\n"));
    ASSERT_EQ(sim->Stop(), 0);
    EXPECT_EQ(ReadFileBytes(flashFile), ExpectedSerialFlash(image, "0050C2123456789A"));
    EXPECT_EQ(ReadFileBytes(path), image);
}

TEST_F(WineSerialFlash, ABoardFailureExitsOne)
{
    Plug({"--erase-fails"});
    const std::string path = dir.Write("fw.bin", RandomBytes(3000, 72));
    const auto result = Flash({WindowsPath(path), "--port", kPort});
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Bootloader loaded\nError Erasing\n"));
    EXPECT_THAT(result.output, Not(HasSubstr("successful")));
}

// The board goes away while the job waits for its greeting and comes back
// as a new terminal behind the same COM port.
TEST_F(WineSerialFlash, AnUnpluggedBoardIsProgrammedOnceItIsBack)
{
    Plug({"--unplug-at", "poll", "--replug-after-ms", "500"});
    const auto image = RandomBytes(5000, 73);
    const std::string path = dir.Write("fw.bin", image);
    const auto result = Flash({WindowsPath(path), "--port", kPort, "--wait-seconds", "20"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Board disconnected. Waiting for board to be reconnected...\n"));
    EXPECT_THAT(result.output, HasSubstr("Board reconnected.\n"));
    ASSERT_EQ(sim->Stop(), 0);
    EXPECT_EQ(ReadFileBytes(flashFile), ExpectedSerialFlash(image, "0050C20000000000"));
}

// wine hands the interrupt to the program as the console's Ctrl-C.
TEST_F(WineSerialFlash, CtrlCStopsTheJobAndExits130)
{
    Plug({"--never-greet"});
    const std::string path = dir.Write("fw.bin", RandomBytes(100, 76));
    const auto result = Flash({WindowsPath(path), "--port", kPort},
                              {"timeout", "--preserve-status", "-s", "INT", "4"});
    EXPECT_EQ(result.exitCode, 130) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Waiting for user to press the board reset switch"));
    EXPECT_THAT(result.output, HasSubstr("Interrupted; stopping the job."));
}

TEST_F(WineSerialFlash, AMissingPortSaysWhyAndGivesUpAfterTheWait)
{
    const std::string path = dir.Write("fw.bin", RandomBytes(100, 74));
    const auto result = Flash({WindowsPath(path), "--port", "COM199", "--wait-seconds", "1"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("Failed to open port.\nNo such serial port"));
    EXPECT_THAT(result.output, HasSubstr("No board answered within 1 seconds; giving up."));
}

// Windows ends a sleep only on a tick of its timer; wine's sleeps are
// precise. With every sleep of the platform as coarse as Windows', a prompt
// job on a board at the real line speed takes as long as with precise ones:
// the port waits in the system for its bytes.
TEST_F(WineSerialFlash, CoarseSleepsDoNotSlowAPromptJob)
{
    Plug({"--baud", "115200"});
    const std::string image = dir.Write("fw.bin", RandomBytes(8192, 73));
    const auto result = build.Run(build.Program("tests/win32/serial_job_timing.exe"), {kPort, WindowsPath(image), "3"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    double precise = 0, coarse = 0;
    ASSERT_EQ(std::sscanf(result.output.c_str(), "precise %lf coarse %lf", &precise, &coarse), 2) << result.output;
    std::printf("greeting to success under wine: %.3f s precise, %.3f s coarse\n", precise, coarse);
    EXPECT_LE(coarse, 1.05 * precise);
}

// Windows ends the program once its handler of the console's closing (or a
// log-off, or a shut-down) returns. The handler stops the job and waits for
// it: the job ends between packets, and the header, written last, is not
// written. The event comes as Windows sends it, and the program is ended
// after the handler as Windows ends it.
class ClosingConsole : public WineSerialFlash, public ::testing::WithParamInterface<const char*> {};

TEST_P(ClosingConsole, StopsTheJobBeforeTheProcessEnds)
{
    Plug({"--baud", "115200"});
    const std::string image = dir.Write("fw.bin", RandomBytes(20000, 74));
    const std::string out = dir / "flash.txt";
    const auto flash = build.Command(build.Program("cli/quillmark-flash.exe"),
                                     {"flash", WindowsPath(image), "--port", kPort});
    ASSERT_EQ(RunCommand("timeout 60 " + CommandLine(flash) + " >" + ShellQuote(out) + " 2>&1 & echo $! >" +
                         ShellQuote(out + ".pid"))
                  .exitCode,
              0);
    ASSERT_TRUE(WaitForOutput(out, "Progress: ")) << Written(out);

    const auto sent = build.Run(build.Program("tests/win32/console_event.exe"), {GetParam(), "quillmark-flash.exe"});
    EXPECT_EQ(sent.exitCode, 0) << sent.output;
    int ms = -1;
    ASSERT_EQ(std::sscanf(sent.output.c_str(), "handled in %d ms", &ms), 1) << sent.output;
    EXPECT_LT(ms, 5000) << "Windows ends the program 5 s after the event";
    const std::string pid = "$(cat " + ShellQuote(out + ".pid") + ")";
    RunCommand("while kill -0 " + pid + " 2>/dev/null; do sleep 0.1; done");
    EXPECT_THAT(Written(out), HasSubstr("Interrupted; stopping the job."));
    EXPECT_THAT(Written(out), Not(HasSubstr("successful")));

    ASSERT_EQ(sim->Stop(), 0);
    const auto written = ReadFileBytes(flashFile);
    ASSERT_GE(written.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.begin() + 8), std::vector<std::uint8_t>(8, 0xFF))
        << "no header";
}

INSTANTIATE_TEST_SUITE_P(Events, ClosingConsole, ::testing::Values("close", "logoff", "shutdown"));

}  // namespace
