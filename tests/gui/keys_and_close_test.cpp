// The window in a user's hands: keys pressed and the window closed while
// ports come and go and while a job writes to the board. No stray key may
// move the focus out of a box being typed, start a second job or abandon the
// running one.

#include "dialog_fixture.h"

#include "support/expected_flash.h"

#include <QApplication>
#include <QTest>

namespace {

const QString kSuccess = "Firmware update successful! Please reset the board.";
const QString kProgramming = "Programming Flash...";

// Where the keyboard goes: the focused control, or the window itself.
QWidget* KeyTarget(QWidget* window)
{
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : window;
}

using KeysAndClose = DialogFixture;

TEST_F(KeysAndClose, TypingIntoAMacBoxSurvivesPortsComingAndGoing)
{
    OpenOnFolder({"firmware.bin"});
    ASSERT_TRUE(TabTo(Control::macBox3));
    Type("7");
    ports.AddExtraPort("ttyVELKAN0");
    ASSERT_TRUE(PumpUntil([&] { return Text(Control::boardStatusLabel) == "Board on ttyVELKAN0"; }));
    ports.AddExtraPort("ttyVELKAN1");
    ASSERT_TRUE(PumpUntil([&] { return Visible(Control::portList); }));
    ports.RemoveExtraPort("ttyVELKAN1");
    ASSERT_TRUE(PumpUntil([&] { return Visible(Control::boardStatusLabel); }));

    EXPECT_EQ(QApplication::focusWidget(), Window(Control::macBox3));
    Type("8");
    EXPECT_EQ(Text(Control::macBox3), "78");
    EXPECT_FALSE(dialog->Services().HasSerialJob());
}

// Every key a user might hit while the board is being written, then the close
// box answered "no": the job goes on and the board holds the image.
TEST_F(KeysAndClose, NoKeyOrCloseStopsOrReplacesARunningJob)
{
    OpenOnDemo(DemoOptions{{"--fast", "--write-us", "100"}, 0.001});
    ASSERT_TRUE(TabTo(Control::macBox3));
    Type("123456789A");
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus(kProgramming));

    QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(!focus || focus->isVisible()) << "a hidden control holds the focus";
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape, Qt::Key_Enter})
        QTest::keyClick(KeyTarget(dialog.get()), key);
    int asked = 0;
    dialog->askYesNo = [&asked](std::string_view) { return ++asked == 0; };
    dialog->close();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Text(Control::statusLabel), kProgramming);

    ASSERT_TRUE(WaitForStatus(kSuccess));
    demo->StopBoard();
    EXPECT_EQ(ReadFileBytes(demo->BoardFlashPath()),
              ExpectedSerialFlashOfFile(demo->ImagePath(), "0050C2123456789A"));

    // After the job a key starts nothing either: the outcome stays.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space})
        QTest::keyClick(KeyTarget(dialog.get()), key);
    PumpUntil([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(Text(Control::statusLabel), kSuccess);
    EXPECT_EQ(asked, 1);
}

TEST_F(KeysAndClose, TheCloseBoxAnsweredYesEndsTheWindowDuringAJob)
{
    OpenOnDemo(DemoOptions{{"--fast", "--write-us", "100"}, 0.001});
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus(kProgramming));
    dialog->askYesNo = [](std::string_view) { return true; };
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    dialog.reset();
}

}  // namespace
