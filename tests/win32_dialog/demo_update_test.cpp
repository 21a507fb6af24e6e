// Whole updates through the Windows window on the demo bench: the user's
// clicks and keys, the loader manager, the real jobs, the simulated board
// inside the program and the J-Link stand-in, ending in the green success.

#include "window_fixture.h"

#include "app/loader_manager.h"
#include "flash/flash_layout.h"
#include "job/status_table.h"

namespace {

const std::string kSuccess = "Firmware update successful! Please reset the board.";

using DemoUpdate = WindowFixture;

TEST_F(DemoUpdate, OverTheBoardsSerialPort)
{
    OpenOnDemo();
    ASSERT_TRUE(TabTo(Control::macBox3));
    Type("123456789A");
    const Picture setup = Screenshot("setup_page");
    // The board status in green beside the board picture.
    EXPECT_GT(setup.Count(RECT{430, 380, 630, 400}, IsGreen), 20);

    Click(Control::updateButton);
    EXPECT_TRUE(Visible(Control::statusLabel));
    EXPECT_FALSE(Enabled(Control::closeButton));
    ASSERT_TRUE(WaitForStatus(kSuccess));
    EXPECT_EQ(SendMessageW(Window(Control::progressBar), PBM_GETPOS, 0, 0), 100);
    EXPECT_TRUE(Enabled(Control::closeButton));
    EXPECT_TRUE(boxes.Texts().empty());
    const Picture result = Screenshot("result_page");
    EXPECT_GT(result.Count(RECT{20, 395, 620, 415}, IsGreen), 50);
    EXPECT_TRUE(BoardHoldsTheDemoImage("0050C2123456789A"));
}

// The board greets while "<< Back" waits for the job to stop: the worker's
// "connected", "programming begins" and "loader download" arrive during the
// wait. None may leave the window working once the job has gone.
TEST_F(DemoUpdate, BackWhileTheBoardGreetsLeavesTheWindowReadyForTheNextUpdate)
{
    OpenOnDemo(LateGreetingDemo());
    Click(Control::updateButton);
    ASSERT_TRUE(HoldTheGreetingsReport()) << "the board's greeting was never reported";
    ASSERT_EQ(Text(Control::statusLabel),
              "Waiting for user to press the board reset switch or to erase the flash...");
    ASSERT_TRUE(Enabled(Control::backButton));

    Click(Control::backButton);
    EXPECT_FALSE(dialog->Services().HasSerialJob());
    EXPECT_EQ(dialog->CurrentPage(), Page::setup);
    EXPECT_TRUE(Visible(Control::updateButton));
    EXPECT_TRUE(Enabled(Control::closeButton));
    EXPECT_TRUE(Enabled(Control::backButton));
    EXPECT_TRUE(dialog->Logic().EscapeEndsDialog());

    // The board is reset after the session and greets the next update.
    Click(Control::updateButton);
    EXPECT_EQ(dialog->CurrentPage(), Page::result);
    ASSERT_TRUE(WaitForStatus(kSuccess));
    EXPECT_TRUE(BoardHoldsTheDemoImage(kDefaultMacText));
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(DemoUpdate, ThroughTheJLinkStandIn)
{
    OpenOnDemo();
    Click(Control::jlinkRadio);
    EXPECT_EQ(Text(Control::boardStatusLabel), "J-Link is active");
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus(kSuccess));
    EXPECT_TRUE(boxes.Texts().empty());
}

}  // namespace
