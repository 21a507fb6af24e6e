// The keyboard and the close box as the system's dialog handling delivers
// them: typing the address, Tab, Enter and Esc, and what neither a key nor
// the close box may do while a job writes to the board.

#include "window_fixture.h"

namespace {

using KeysAndClose = WindowFixture;

TEST_F(KeysAndClose, TheAddressTypedInOneGoThenEnterAndEsc)
{
    OpenOnFolder({"firmware.bin"});
    ASSERT_TRUE(TabTo(Control::macBox3));
    Type("123456789a");
    const char* expected[] = {"00", "50", "C2", "12", "34", "56", "78", "9A"};
    for (int k = 0; k < kMacBoxCount; ++k)
        EXPECT_EQ(Text(MacBox(k)), expected[k]) << "box " << k;

    // Enter outside a push button is the dialog's command 1.
    PressKey(VK_RETURN);
    EXPECT_EQ(dialog->CurrentPage(), Page::result);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(dialog->Ended());
}

// Right after "Update Firmware" the result page has no control that takes
// the focus; the MAC box the user typed in last is hidden with the setup page.
TEST_F(KeysAndClose, AfterUpdateTheFocusIsOnNoHiddenControlAndTypingChangesNoBox)
{
    OpenOnDemo(SilentBoardDemo());
    ASSERT_TRUE(TabTo(Control::macBox3));
    Type("12");
    // The user switches to another window and back: the dialog manager saves
    // the box as its control to restore. Windows keeps that; wine forgets it
    // when the window is active again, so only the saving is played here.
    SendMessageW(dialog->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    ASSERT_TRUE(TabTo(Control::updateButton));
    PressKey(VK_SPACE);
    ASSERT_EQ(dialog->CurrentPage(), Page::result);
    ASSERT_FALSE(Enabled(Control::backButton));

    const HWND focus = GetFocus();
    EXPECT_TRUE(focus == dialog->Handle() || IsWindowVisible(focus));
    std::vector<std::string> before;
    for (int k = 0; k < kMacBoxCount; ++k)
        before.push_back(Text(MacBox(k)));
    Type("3456");
    for (int k = 0; k < kMacBoxCount; ++k)
        EXPECT_EQ(Text(MacBox(k)), before[k]) << "box " << k;
}

TEST_F(KeysAndClose, NeitherEscNorTheCloseBoxEndsARunningJobUnlessTheUserSaysSo)
{
    OpenOnDemo(SlowWritingDemo());
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus("Programming Flash..."));
    ASSERT_TRUE(PumpUntil(
        [&] { return SendMessageW(Window(Control::progressBar), PBM_GETPOS, 0, 0) >= 30; }));
    Screenshot("result_page_programming");

    PressKey(VK_ESCAPE);
    EXPECT_FALSE(dialog->Ended());
    int asked = 0;
    dialog->askYesNo = [&](std::string_view) { return ++asked, false; };
    SendMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(dialog->Ended());
    EXPECT_FALSE(Enabled(Control::closeButton));

    dialog->askYesNo = [&](std::string_view) { return ++asked, true; };
    SendMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(dialog->Ended());
}

TEST_F(KeysAndClose, EscWhileTheJobWaitsForTheBoardEndsTheWindow)
{
    OpenOnDemo(SilentBoardDemo());
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus(
        "Waiting for user to press the board reset switch or to erase the flash..."));
    EXPECT_TRUE(Visible(Control::instructionsPicture));
    const Picture waiting = Screenshot("result_page_waiting");
    // The instructions lie over the board photo: some of their red shows.
    EXPECT_GT(waiting.Count(RECT{20, 78, 614, 377}, IsRed), 0);

    PressKey(VK_ESCAPE);
    EXPECT_TRUE(dialog->Ended());
}

}  // namespace
