// quillmark-flash flash --port, run as a real process against velkan-board-sim.

#include "flash/flash_layout.h"
#include "sim/sim_process.h"
#include "support/expected_flash.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class FlashOverPort : public ::testing::Test {
protected:
    void Plug(std::vector<std::string> extra = {})
    {
        std::vector<std::string> args{"--link", link, "--flash-out", flashFile, "--fast"};
        args.insert(args.end(), extra.begin(), extra.end());
        sim = std::make_unique<SimProcess>(args);
        ASSERT_TRUE(sim->WaitForPath(link, std::chrono::seconds(10)));
    }

    CommandResult Flash(const std::vector<std::string>& args, const std::string& prefix = "")
    {
        std::vector<std::string> argv{QUILLMARK_FLASH, "flash"};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunCommand(prefix + CommandLine(argv));
    }

    TempDir dir;
    const std::string link = dir / "board";
    const std::string flashFile = dir / "flash.bin";
    std::unique_ptr<SimProcess> sim;
};

TEST_F(FlashOverPort, ProgramsTheBoardAndExitsZero)
{
    Plug();
    const auto image = RandomBytes(3000, 17);
    const std::string path = dir.Write("fw.bin", image);
    const auto result = Flash({path, "--port", link, "--mac", "123456789a"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Opened USB connection\nConnected\n"));
    EXPECT_THAT(result.output, HasSubstr("Progress: 100%\nFirmware update successful! Please reset the board.\n"));
    ASSERT_EQ(sim->Stop(), 0);

    EXPECT_EQ(ReadFileBytes(flashFile), ExpectedSerialFlash(image, "0050C2123456789A"));
    EXPECT_EQ(ReadFileBytes(path), image);  // the user's file is never touched
}

TEST_F(FlashOverPort, AMissingPortSaysWhyAndGivesUpAfterTheWait)
{
    const std::string path = dir.Write("fw.bin", RandomBytes(100, 1));
    const auto result = Flash({path, "--port", dir / "ttyNONE", "--wait-seconds", "1"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("Failed to open port.\nNo such serial port"));
    EXPECT_THAT(result.output, HasSubstr("Board disconnected."));
    EXPECT_THAT(result.output, HasSubstr("No board answered within 1 seconds; giving up."));
}

// A path that will never be a terminal: no point in waiting for a board.
TEST_F(FlashOverPort, APortThatIsNoTerminalFailsAtOnce)
{
    const std::string path = dir.Write("fw.bin", RandomBytes(100, 1));
    for (const std::string& port : {dir.Write("plain-file", "x"), dir.Path().string(), std::string("/dev/null")}) {
        const auto result = Flash({path, "--port", port, "--wait-seconds", "30"});
        EXPECT_EQ(result.exitCode, 1) << port;
        EXPECT_THAT(result.output, HasSubstr("This is not a serial port")) << port;
        EXPECT_THAT(result.output, Not(HasSubstr("giving up"))) << port;
    }
}

TEST_F(FlashOverPort, AStatusRepeatedWhileWaitingIsPrintedOnce)
{
    Plug({"--never-greet"});
    const std::string path = dir.Write("fw.bin", RandomBytes(100, 1));
    const auto result = Flash({path, "--port", link, "--wait-seconds", "2"});
    EXPECT_EQ(result.exitCode, 1);
    const std::string waiting = "Waiting for user to press the board reset switch";
    const std::size_t first = result.output.find(waiting);
    ASSERT_NE(first, std::string::npos) << result.output;
    EXPECT_EQ(result.output.find(waiting, first + 1), std::string::npos) << result.output;
}

TEST_F(FlashOverPort, AWaitThatCannotBeHonouredIsAUsageError)
{
    const std::string path = dir.Write("fw.bin", RandomBytes(100, 1));
    for (const char* seconds : {"0", "-5", "1.5", "ten", "99999999999999"}) {
        const auto result = Flash({path, "--port", link, "--wait-seconds", seconds});
        EXPECT_EQ(result.exitCode, 2) << seconds;
        EXPECT_THAT(result.output, HasSubstr("--wait-seconds: takes a whole number of seconds")) << seconds;
    }
}

TEST_F(FlashOverPort, ABoardFailureExitsOne)
{
    Plug({"--erase-fails"});
    const std::string path = dir.Write("fw.bin", RandomBytes(100, 1));
    const auto result = Flash({path, "--port", link});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("Bootloader loaded\nError Erasing\n"));
    EXPECT_THAT(result.output, Not(HasSubstr("successful")));
}

TEST_F(FlashOverPort, ImagesThatCannotBeProgrammedAreRefusedBeforeThePortIsOpened)
{
    Plug();
    const std::string tooLong = dir.Write("big.bin", RandomBytes(kMaxImageLength + 1, 1));
    auto result = Flash({tooLong, "--port", link});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr(ImageTooLongMessage(kMaxImageLength + 1)));
    EXPECT_THAT(result.output, HasSubstr("Could not read/open file"));
    EXPECT_THAT(result.output, Not(HasSubstr("Opening port...")));

    result = Flash({dir / "missing.bin", "--port", link});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("Could not read/open file"));
}

TEST_F(FlashOverPort, ABadMacIsAUsageError)
{
    const std::string path = dir.Write("fw.bin", RandomBytes(100, 1));
    const auto result = Flash({path, "--port", link, "--mac", "0050C2XYZ"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_THAT(result.output, HasSubstr("--mac"));
}

TEST_F(FlashOverPort, CtrlCStopsTheJobAndExits130)
{
    Plug({"--never-greet"});
    const std::string path = dir.Write("fw.bin", RandomBytes(100, 1));
    const auto result = Flash({path, "--port", link}, "timeout --preserve-status -s INT 1 ");
    EXPECT_EQ(result.exitCode, 130) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Waiting for user to press the board reset switch"));
    EXPECT_THAT(result.output, HasSubstr("Interrupted; stopping the job."));
}

}  // namespace
