// The board list of the assembled window while ports come and go: the port
// monitor's thread, the posted message and the refill on the dialog's thread.

#include "dialog_fixture.h"

#include "job/status_table.h"

#include <QComboBox>
#include <QTest>

namespace {

class PortList : public DialogFixture {
protected:
    QComboBox* List() const { return Window<QComboBox>(Control::portList); }

    QStringList Entries() const
    {
        QStringList entries;
        for (int i = 0; i < List()->count(); ++i)
            entries << List()->itemText(i);
        return entries;
    }

    bool WaitForEntries(int count)
    {
        return PumpUntil([&] { return List()->count() == count && Visible(Control::portList); });
    }

    // The user moves through the list with the arrow keys.
    void ChooseWithKeys(Qt::Key key)
    {
        List()->setFocus();
        QTest::keyClick(List(), key);
    }
};

TEST_F(PortList, ARefillKeepsTheBoardTheUserChose)
{
    OpenOnFolder({"firmware.bin"});
    ports.AddExtraPort("ttyVELKAN0");
    ports.AddExtraPort("ttyVELKAN1");
    ports.AddExtraPort("ttyVELKAN10");
    ASSERT_TRUE(WaitForEntries(3));
    EXPECT_EQ(Entries(), QStringList({"Board on ttyVELKAN0", "Board on ttyVELKAN1",
                                      "Board on ttyVELKAN10"}));
    EXPECT_EQ(List()->currentText(), "Board on ttyVELKAN0");
    EXPECT_FALSE(Visible(Control::boardStatusLabel));
    EXPECT_TRUE(Visible(Control::boardPicture));
    EXPECT_TRUE(Window(Control::updateButton)->isEnabled());

    ChooseWithKeys(Qt::Key_Down);
    ASSERT_EQ(dialog->Logic().LastPortSelection(), "Board on ttyVELKAN1");

    // Board on ttyVELKAN1 now stands first; a match by beginning of text
    // from the second entry on would pick ttyVELKAN10, another board.
    ports.RemoveExtraPort("ttyVELKAN0");
    ASSERT_TRUE(WaitForEntries(2));
    EXPECT_EQ(List()->currentText(), "Board on ttyVELKAN1");

    ports.AddExtraPort("ttyVELKAN0");
    ASSERT_TRUE(WaitForEntries(3));
    EXPECT_EQ(List()->currentText(), "Board on ttyVELKAN1");
}

TEST_F(PortList, DownToOneBoardAndToNone)
{
    OpenOnFolder({"firmware.bin"});
    ports.AddExtraPort("ttyVELKAN0");
    ports.AddExtraPort("ttyVELKAN1");
    ASSERT_TRUE(WaitForEntries(2));

    ports.RemoveExtraPort("ttyVELKAN0");
    ASSERT_TRUE(PumpUntil([&] { return Visible(Control::boardStatusLabel); }));
    EXPECT_EQ(Text(Control::boardStatusLabel), "Board on ttyVELKAN1");
    EXPECT_EQ(TextColor(Control::boardStatusLabel), kGreen);
    EXPECT_FALSE(Visible(Control::portList));

    ports.RemoveExtraPort("ttyVELKAN1");
    ASSERT_TRUE(PumpUntil([&] { return Text(Control::boardStatusLabel) == "No board detected"; }));
    EXPECT_EQ(TextColor(Control::boardStatusLabel), kRed);
    EXPECT_TRUE(Visible(Control::noBoardPicture));
    EXPECT_FALSE(Visible(Control::boardPicture));
    EXPECT_FALSE(Window(Control::updateButton)->isEnabled());
}

// The job runs on the board the user picked, not on the first one listed.
TEST_F(PortList, UpdateUsesTheChosenBoard)
{
    OpenOnDemo();
    ports.AddExtraPort("ttyGHOST");
    ASSERT_TRUE(WaitForEntries(2));
    ChooseWithKeys(Qt::Key_Down);
    ASSERT_EQ(List()->currentText(), "Board on ttyGHOST");
    // Nothing answers there: the job reports the port as gone and waits
    // for the board to come back.
    Click(Control::updateButton);
    ASSERT_TRUE(WaitForStatus("Board disconnected. Waiting for board to be reconnected..."));

    Click(Control::backButton);
    ChooseWithKeys(Qt::Key_Up);
    ASSERT_EQ(List()->currentText(), "Board on ttyVELKAN0");
    Click(Control::updateButton);
    EXPECT_TRUE(WaitForStatus("Firmware update successful! Please reset the board."));
}

}  // namespace
