// Typing the MAC address into the assembled window with real key events:
// the boxes are reached with Tab from "Browse...", as a keyboard user would.

#include "dialog_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {

class MacBoxes : public DialogFixture {
protected:
    void SetUp() override
    {
        OpenOnFolder({"firmware.bin"});
        ASSERT_TRUE(TabTo(Control::macBox3));
    }

    QLineEdit* Box(int k) const { return Window<QLineEdit>(MacBox(k)); }

    std::string Row() const
    {
        QStringList row;
        for (int k = 0; k < kMacBoxCount; ++k)
            row << Text(MacBox(k));
        return row.join(" ").toStdString();
    }
};

TEST_F(MacBoxes, TabSkipsNothingAndLandsOnTheFirstEditableBox)
{
    // Tab visits the read-only boxes too; the caret is in the fourth now and
    // the whole "00" is selected, so the first digit replaces it.
    EXPECT_EQ(Box(3)->selectedText(), "00");
    Type("1");
    EXPECT_EQ(Text(Control::macBox3), "1");
}

TEST_F(MacBoxes, ThreeDigitsFillOneBoxAndCarryIntoTheNext)
{
    Type("123");
    EXPECT_EQ(Text(Control::macBox3), "12");
    EXPECT_EQ(Text(Control::macBox4), "30");
    EXPECT_EQ(QApplication::focusWidget(), Box(4));
    EXPECT_EQ(Box(4)->cursorPosition(), 1);
    Type("4");
    EXPECT_EQ(Text(Control::macBox4), "34");
}

TEST_F(MacBoxes, CharactersOtherThanHexDigitsAreIgnored)
{
    Type("aG");
    EXPECT_EQ(Text(Control::macBox3), "A");
    Type("g-z ");
    EXPECT_EQ(Text(Control::macBox3), "A");
    Type("f");
    EXPECT_EQ(Text(Control::macBox3), "AF");
}

TEST_F(MacBoxes, LeavingABoxWithOneDigitFillsItToTwo)
{
    Type("7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(Text(Control::macBox3), "07");
    EXPECT_EQ(QApplication::focusWidget(), Box(4));
}

TEST_F(MacBoxes, TenDigitsRunThroughTheRestOfTheRow)
{
    Type("123456789A");
    EXPECT_EQ(Row(), "00 50 C2 12 34 56 78 9A");
    // At the end of the last box there is nowhere to carry on to.
    Type("B");
    EXPECT_EQ(Text(Control::macBox7), "9A");
}

TEST_F(MacBoxes, ClickingIntoABoxSelectsBothDigitsSoTypingReplacesThem)
{
    // Pressed between the two digits, with a slight drag before the release.
    const QPoint middle = Box(4)->rect().center();
    QTest::mousePress(Box(4), Qt::LeftButton, Qt::NoModifier, middle);
    QTest::mouseMove(Box(4), middle + QPoint(2, 0));
    QTest::mouseRelease(Box(4), Qt::LeftButton, Qt::NoModifier, middle + QPoint(2, 0));
    EXPECT_EQ(Box(4)->selectedText(), "00");
    Type("A1B2C3D4E5");
    EXPECT_EQ(Row(), "00 50 C2 00 A1 B2 C3 D4");

    // A second click into the box that has the focus only places the caret.
    QTest::mouseClick(Box(7), Qt::LeftButton, Qt::NoModifier, Box(7)->rect().center());
    EXPECT_FALSE(Box(7)->hasSelectedText());
    EXPECT_EQ(Box(7)->cursorPosition(), 1);
}

TEST_F(MacBoxes, TheFixedBoxesLookReadOnly)
{
    const auto background = [this](int k) {
        const QImage image = Box(k)->grab().toImage();
        return image.pixelColor(4, image.height() / 2);
    };
    for (int k = 0; k < 3; ++k) {
        EXPECT_NE(background(k), background(3)) << "box " << k;
        // Still readable: the digits keep a dark color on the light ground.
        EXPECT_GT(background(k).lightness() - Box(k)->palette().color(QPalette::Text).lightness(),
                  150);
    }
}

// Whatever was pasted, with the row reading 00 50 C2 12 34 56 78 9A before.
struct PasteCase {
    const char* name;
    const char* clipboard;
    int box;
    const char* row;
};

void PrintTo(const PasteCase& c, std::ostream* os) { *os << c.name; }

class MacPaste : public MacBoxes, public testing::WithParamInterface<PasteCase> {};

TEST_P(MacPaste, ByKeyboard)
{
    Type("123456789A");
    const PasteCase& c = GetParam();
    QTest::mouseClick(Box(c.box), Qt::LeftButton);
    QApplication::clipboard()->setText(c.clipboard);
    QTest::keyClick(Box(c.box), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Row(), c.row);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MacPaste,
    testing::Values(
        PasteCase{"WholeAddressWithColons", "00:50:C2:A1:B2:C3:D4:E5", 5, "00 50 C2 A1 B2 C3 D4 E5"},
        PasteCase{"WholeAddressIntoAFixedBox", "0050c2a1b2c3d4e5", 0, "00 50 C2 A1 B2 C3 D4 E5"},
        PasteCase{"FiveBytesWithDashes", "a1-b2-c3-d4-e5", 7, "00 50 C2 A1 B2 C3 D4 E5"},
        PasteCase{"FiveBytesWithBlanks", " A1 B2  C3 D4 E5\n", 3, "00 50 C2 A1 B2 C3 D4 E5"},
        PasteCase{"FiveBytesRunTogether", "A1B2C3D4E5", 4, "00 50 C2 A1 B2 C3 D4 E5"},
        // Another maker's address is not taken at all, not even in part.
        PasteCase{"OtherFixedBytesChangeNothing", "00:11:22:A1:B2:C3:D4:E5", 4,
                  "00 50 C2 12 34 56 78 9A"},
        // Anything else goes into the one box, cut to its two characters.
        PasteCase{"NineDigitsAreNoAddress", "A1B2C3D4E", 4, "00 50 C2 12 A1 56 78 9A"},
        PasteCase{"SeparatorInsideAByte", "A:1B2C3D4E5", 4, "00 50 C2 12 A: 56 78 9A"},
        PasteCase{"ShortTextIntoAFixedBoxChangesNothing", "77", 1, "00 50 C2 12 34 56 78 9A"}),
    [](const testing::TestParamInfo<PasteCase>& info) { return std::string(info.param.name); });

TEST_F(MacBoxes, AnAddressPastedFromTheContextMenuFillsTheRow)
{
    QApplication::clipboard()->setText("00-50-C2-A1-B2-C3-D4-E5");
    QContextMenuEvent click(QContextMenuEvent::Mouse, Box(6)->rect().center(),
                            Box(6)->mapToGlobal(Box(6)->rect().center()));
    QApplication::sendEvent(Box(6), &click);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* paste = nullptr;
    for (QAction* action : menu->actions())
        if (action->text().startsWith("&Paste"))
            paste = action;
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    menu->close();
    EXPECT_EQ(Row(), "00 50 C2 A1 B2 C3 D4 E5");
}

// On the demo bench, where "Update Firmware" would start a job at once.
TEST_F(DialogFixture, EnterInAMacBoxShowsTheResultPageWithoutStartingAJob)
{
    OpenOnDemo();
    ASSERT_TRUE(TabTo(Control::macBox3));
    Type("12");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(Visible(Control::statusLabel));
    EXPECT_FALSE(Visible(Control::macBox3));
    EXPECT_FALSE(dialog->Services().HasSerialJob());
    EXPECT_EQ(Text(Control::statusLabel), "") << "no job, no outcome";
    EXPECT_TRUE(messages.Texts().empty());

    Click(Control::backButton);
    EXPECT_TRUE(Visible(Control::macBox3));
    EXPECT_FALSE(Visible(Control::statusLabel));
    EXPECT_EQ(Text(Control::macBox3), "12");
}

}  // namespace
