// Whole updates through the Windows window on the demo machine: the user's
// clicks and keys, the loader manager, the real jobs, the simulated board
// inside the program and the J-Link stand-in, ending in the green success.

#include "window_fixture.h"

#include "app/status_table.h"

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
