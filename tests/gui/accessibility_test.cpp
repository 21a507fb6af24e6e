// What a screen reader learns of the window, through Qt's accessibility
// interfaces of the real dialog, and the keyboard's walk. The events of an
// update need the platform's accessibility, which the offscreen platform has
// not: screen_reader_walk.py hears them over AT-SPI.

#include "dialog_fixture.h"

#include <QAccessible>
#include <QApplication>
#include <QSet>
#include <QTest>

#include <gmock/gmock.h>

namespace {

QAccessibleInterface* Accessible(QWidget* window) { return QAccessible::queryAccessibleInterface(window); }

class Accessibility : public DialogFixture {};

TEST_F(Accessibility, EveryControlAUserWorksOrReadsHasANameAndThePicturesOnlyDecoratingAreHidden)
{
    OpenOnDemo();
    QSet<QString> macNames;
    for (int k = 0; k < kMacBoxCount; ++k) {
        QAccessibleInterface* box = Accessible(Window(MacBox(k)));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->role(), QAccessible::EditableText);
        EXPECT_FALSE(box->text(QAccessible::Name).isEmpty()) << k;
        macNames.insert(box->text(QAccessible::Name));
        EXPECT_EQ(box->state().readOnly, k < 3) << k;
        EXPECT_EQ(box->text(QAccessible::Description).contains("cannot be changed"), k < 3) << k;
    }
    EXPECT_EQ(macNames.size(), kMacBoxCount);
    EXPECT_EQ(Accessible(Window(Control::macBox3))->text(QAccessible::Name), "MAC address byte 4 of 8");

    for (Control control : {Control::portList, Control::updateButton, Control::usbRadio, Control::jlinkRadio,
                            Control::browseButton, Control::boardPicture, Control::progressBar,
                            Control::closeButton, Control::backButton})
        EXPECT_FALSE(Accessible(Window(control))->text(QAccessible::Name).isEmpty()) << static_cast<int>(control);
    EXPECT_EQ(Accessible(Window(Control::progressBar))->text(QAccessible::Name), "Update progress");

    QAccessibleInterface* board = Accessible(Window(Control::boardPicture));
    EXPECT_EQ(board->role(), QAccessible::Graphic);
    EXPECT_FALSE(board->state().invisible);
    for (Control decoration : {Control::bannerPicture, Control::bandPicture, Control::resultBannerPicture})
        EXPECT_TRUE(Accessible(Window(decoration))->state().invisible) << static_cast<int>(decoration);
    // The other page's controls are not showing.
    EXPECT_TRUE(Accessible(Window(Control::closeButton))->state().invisible);
    EXPECT_TRUE(Accessible(Window(Control::defaultFileButton))->state().disabled);
}

// Tab walks the setup page from top to bottom, once round. The fixed MAC
// boxes take the focus too, so that a listener hears the whole address.
TEST_F(Accessibility, TabFollowsThePageFromTopToBottom)
{
    OpenOnDemo();
    std::vector<Control> order{Control::browseButton};
    for (int k = 0; k < kMacBoxCount; ++k)
        order.push_back(MacBox(k));
    // One board: its label shows instead of the port list.
    order.insert(order.end(), {Control::usbRadio, Control::updateButton, Control::browseButton});
    ASSERT_TRUE(TabTo(order.front()));
    std::vector<QWidget*> walked{QApplication::focusWidget()};
    for (std::size_t i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked.push_back(QApplication::focusWidget());
    }
    std::vector<QWidget*> expected;
    for (Control control : order)
        expected.push_back(Window(control));
    EXPECT_EQ(walked, expected);
}

}  // namespace
