// Labels and radio buttons in their own colors on a transparent background,
// and the controls that run their own actions.

#include "controls/color_label.h"
#include "controls/custom_button.h"
#include "controls/custom_combo.h"
#include "controls/custom_radio_button.h"

#include "widget_pixels.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr ColorRef kRed = 255;
constexpr ColorRef kGreen = 35840;

// A white dialog, as the wizard paints its background.
class WhiteDialog : public QWidget {
public:
    WhiteDialog() {
        resize(320, 120);
        QPalette colors = palette();
        colors.setColor(QPalette::Window, Qt::white);
        setPalette(colors);
        setAutoFillBackground(true);
    }
};

class ColoredControlsTest : public testing::Test {
protected:
    void ShowDialog() {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    WhiteDialog dialog;
};

TEST_F(ColoredControlsTest, ALabelTakesItsColorWithItsNextText) {
    auto* label = new ColorLabel("Board on ttyUSB0", &dialog);
    label->setGeometry(10, 10, 300, 40);
    ShowDialog();
    const QImage black = ScreenImage(&dialog);
    EXPECT_GT(CountPixels(black, IsDark), 20);
    EXPECT_EQ(CountPixels(black, IsReddish), 0);

    label->textColor = kRed;
    label->SetText("No board detected");
    const QImage red = ScreenImage(&dialog);
    EXPECT_GT(CountPixels(red, IsReddish), 20);
    // Nothing of the old black text is left behind the new one.
    EXPECT_EQ(CountPixels(red, IsDark), 0);
}

TEST_F(ColoredControlsTest, AShorterTextLeavesNoRemnants) {
    auto* label = new ColorLabel("Firmware update successful! Please reset the board.", &dialog);
    label->setGeometry(10, 10, 300, 40);
    ShowDialog();
    label->SetText("ok");
    const QImage afterwards = ScreenImage(&dialog);

    WhiteDialog fresh;
    auto* freshLabel = new ColorLabel("ok", &fresh);
    freshLabel->setGeometry(10, 10, 300, 40);
    fresh.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
    EXPECT_EQ(afterwards, ScreenImage(&fresh));
}

TEST_F(ColoredControlsTest, TheBackgroundShowsThroughLabelsAndRadios) {
    auto* label = new ColorLabel("", &dialog);
    label->setGeometry(0, 0, 320, 60);
    auto* radio = new CCustomRadioButton("", nullptr, &dialog);
    radio->setGeometry(150, 60, 160, 60);
    ShowDialog();
    const QImage image = ScreenImage(&dialog);
    EXPECT_EQ(image.pixelColor(100, 30), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(300, 100), QColor(Qt::white));
}

TEST_F(ColoredControlsTest, ARadioDrawsItsTextInItsColor) {
    auto* radio = new CCustomRadioButton("Use USB COM port connection", nullptr, &dialog);
    radio->setGeometry(10, 10, 300, 30);
    radio->textColor = kGreen;
    ShowDialog();
    EXPECT_GT(CountPixels(ScreenImage(&dialog), IsGreenish), 20);
}

TEST_F(ColoredControlsTest, ARadioIsCheckedBeforeItsActionRuns) {
    int calls = 0;
    bool checkedDuringAction = false;
    CCustomRadioButton* radio = nullptr;
    radio = new CCustomRadioButton("Use J-Link JTAG connection", [&] {
        ++calls;
        checkedDuringAction = radio->isChecked();
    }, &dialog);
    radio->setGeometry(10, 10, 300, 30);
    ShowDialog();
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, 15));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(checkedDuringAction);
    radio->setChecked(false);
    radio->setChecked(true);
    EXPECT_EQ(calls, 1);
}

TEST_F(ColoredControlsTest, AButtonRunsItsActionOnClickOnly) {
    int calls = 0;
    auto* button = new CustomButton("Update Firmware", [&] { ++calls; }, &dialog);
    button->setGeometry(10, 10, 150, 30);
    auto* silent = new CustomButton("Close", nullptr, &dialog);
    silent->setGeometry(170, 10, 100, 30);
    ShowDialog();
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(silent, Qt::LeftButton);
    button->setText("Update Firmware again");
    button->setEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(calls, 1);
}

TEST_F(ColoredControlsTest, AListRunsItsActionOnTheUsersChoiceOnly) {
    int calls = 0;
    auto* list = new CustomCombo([&] { ++calls; }, &dialog);
    list->setGeometry(10, 10, 200, 25);
    list->addItems({"Board on ttyUSB0", "Board on ttyUSB1", "Board on ttyUSB10"});
    list->setCurrentIndex(2);
    list->clear();
    list->addItems({"Board on ttyUSB0", "Board on ttyUSB1"});
    ShowDialog();
    EXPECT_EQ(calls, 0);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(list->currentText(), "Board on ttyUSB1");
}

}  // namespace
