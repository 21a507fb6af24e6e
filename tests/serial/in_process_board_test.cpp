// The serial job against the simulated board inside the program, at the real
// board's speed: the demo's board where there are no pseudo-terminals.

#include "data/target_code.h"
#include "job/status_codes.h"
#include "job_harness.h"
#include "platform/machine.h"
#include "sim/in_process_board.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr char kBoardPort[] = "COM0";

class BoardInProcess : public ::testing::Test {
protected:
    const SimOptions realBoard;
    InProcessBoard board{realBoard};
    std::unique_ptr<ISerialPortFactory> machinePorts = MakeSerialPortFactory();
    InProcessPortFactory ports{board, kBoardPort, *machinePorts};
};

// As the wizard's "<< Back" and a second update do: the second job is
// greeted once the user has reset the board. Each takes at least the time its
// bytes need on the line plus the board's erase.
TEST_F(BoardInProcess, TwoUpdatesInARowEachLeaveTheirImageInTheFlash)
{
    const char* macs[] = {"0050C2123456789A", "0050C2FEDCBA9876"};
    for (std::uint32_t update = 0; update < 2; ++update) {
        JobHarness harness(ports, SerialTiming::Prompt());
        harness.job.request.portName = kBoardPort;
        const auto image = RandomBytes(24 * 1024, update + 1);
        ASSERT_TRUE(harness.Prepare(image, macs[update]));
        const auto started = std::chrono::steady_clock::now();
        // A board nobody resets never greets the second job: it would wait for ever.
        ASSERT_TRUE(harness.RunUntil(
            [](const auto& statuses) { return CountOf(statuses, kStatusSuccess) == 1; },
            std::chrono::seconds(30)))
            << "update " << update + 1;
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_EQ(board.Flash(), harness.ExpectedFlash()) << "update " << update + 1;
        const std::size_t bytesToTheBoard = SecondStageLoader().size() + image.size();
        EXPECT_GE(took, realBoard.ByteTime() * bytesToTheBoard + realBoard.eraseTime);
        std::printf("update %u of 24 KiB took %.2f s\n", update + 1,
                    std::chrono::duration<double>(took).count());
    }
}

TEST_F(BoardInProcess, OpensOnceAtATimeAndLeavesOtherNamesToTheMachine)
{
    auto first = ports.Open(kBoardPort);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ports.Open(kBoardPort), nullptr);
    EXPECT_EQ(ports.LastOpenError().reason, PortOpenFailure::Busy);
    EXPECT_EQ(ports.Open("/nonexistent/ttyUSB9"), nullptr);
    EXPECT_EQ(ports.LastOpenError().reason, PortOpenFailure::NoSuchDevice);
    first->Close();
    EXPECT_NE(ports.Open(kBoardPort), nullptr);
}

}  // namespace
