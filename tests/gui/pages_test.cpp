// The two pages as the assembled window shows them: texts, places, sizes,
// fonts, first states, and the board and image state of the first display.

#include "dialog_fixture.h"

#include "controls/shared_fonts.h"
#include "job/status_table.h"
#include "wizard/dialog_texts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include <cmath>

namespace {

struct ControlLook {
    const char* name;
    Control control;
    const char* text;  // null: the control shows no text of its own
    QRect geometry;
    bool enabled;
};

void PrintTo(const ControlLook& look, std::ostream* out) { *out << look.name; }

// A few controls of every kind, as the setup page's table places them; labels
// without a size of their own keep their 600 × 100 window, pictures take
// the size of their picture.
const ControlLook kSetupControls[] = {
    {"introduction", Control::introductionLabel,
     "This utility will update or restore the firmware of a Velkan USB Dongle/Sniffer board.",
     {20, 80, 600, 100}, true},
    {"step1", Control::step1Label,
     "1. The following firmware image file will be used for the update:", {20, 120, 600, 100},
     true},
    {"browseHint", Control::browseHintLabel,
     "If you want to indicate a different firmware image file click Browse.", {20, 190, 400, 60},
     true},
    {"macHint", Control::macHintLabel,
     "The address is made up of 16 hexadecimal digits and can be found on the board label.",
     {20, 297, 600, 100}, true},
    {"browse", Control::browseButton, "Browse...", {430, 190, 100, 25}, true},
    {"defaultFile", Control::defaultFileButton, "Default File", {535, 190, 90, 25}, false},
    {"macBox0", Control::macBox0, "00", {50, 262, 35, 24}, true},
    {"macBox2", Control::macBox2, "C2", {130, 262, 35, 24}, true},
    {"macBox7", Control::macBox7, "00", {330, 262, 35, 24}, true},
    {"usbRadio", Control::usbRadio, "Use USB COM port connection", {50, 365, 250, 25}, true},
    {"jlinkRadio", Control::jlinkRadio, "Use J-Link JTAG connection", {50, 395, 250, 25}, true},
    {"banner", Control::bannerPicture, nullptr, {0, 0, 634, 66}, true},
    {"band", Control::bandPicture, nullptr, {0, 290, 680, 30}, true},
    {"noBoard", Control::noBoardPicture, nullptr, {340, 370, 77, 44}, true},
    {"portList", Control::portList, nullptr, {430, 380, 180, 20}, true},
    {"version", Control::versionLabel, "Version 1.0.0 (c) 2026 Quillmark", {400, 487, 600, 100},
     true},
};

const ControlLook kResultControls[] = {
    // The table's text is cleared at once: without a job there is no outcome.
    {"status", Control::statusLabel, "", {20, 395, 600, 100}, true},
    {"close", Control::closeButton, "Close", {320, 460, 120, 25}, true},
    {"back", Control::backButton, "<< Back", {190, 460, 120, 25}, true},
    {"progress", Control::progressBar, nullptr, {20, 420, 590, 25}, true},
    {"photo", Control::boardPhoto, nullptr, {160, 160, 284, 155}, true},
    {"instructions", Control::instructionsPicture, nullptr, {20, 78, 594, 299}, true},
};

// The title the window system shows: Qt adds the application's display name
// to a title that does not end with it, but only once a display name has
// been set (an unset one follows the application name).
QString ShownTitle(const QWidget& window)
{
    const QString name = QApplication::applicationName();
    QApplication::setApplicationName(name + "-");
    const bool displayNameSet =
        QApplication::applicationDisplayName() != QApplication::applicationName();
    QApplication::setApplicationName(name);
    const QString displayName = QApplication::applicationDisplayName();
    const QString title = window.windowTitle();
    if (!displayNameSet || title.endsWith(displayName))
        return title;
    return title + QString::fromUtf8(" \u2014 ") + displayName;
}

// The contrast of a color against white, from 1 (invisible) to 21 (black).
double ContrastOnWhite(std::uint32_t color)
{
    auto linear = [](unsigned channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(color & 0xFF) + 0.7152 * linear(color >> 8 & 0xFF) +
                             0.0722 * linear(color >> 16 & 0xFF);
    return 1.05 / (luminance + 0.05);
}

class PageLayout : public DialogFixture, public testing::WithParamInterface<ControlLook> {};

TEST_P(PageLayout, ControlStandsWhereTheTablePutsIt)
{
    OpenOnFolder({"firmware.bin"});
    const ControlLook& look = GetParam();
    QWidget* window = Window(look.control);
    EXPECT_EQ(window->geometry(), look.geometry);
    EXPECT_EQ(window->isEnabled(), look.enabled);
    if (look.text) {
        EXPECT_EQ(Text(look.control), QString::fromUtf8(look.text));
    }
}

INSTANTIATE_TEST_SUITE_P(Setup, PageLayout, testing::ValuesIn(kSetupControls),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Result, PageLayout, testing::ValuesIn(kResultControls),
                         [](const auto& info) { return std::string(info.param.name); });

using Pages = DialogFixture;

TEST_F(Pages, TheWindowIsAFixedWhiteDialogWithItsCaption)
{
    OpenOnFolder({"firmware.bin"});
    EXPECT_EQ(dialog->size(), QSize(640, 540));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_EQ(ShownTitle(*dialog).toStdString(), "Quillmark Firmware Update");
    // The message boxes' caption.
    EXPECT_EQ(QApplication::applicationDisplayName(), "Quillmark");
    EXPECT_FALSE(dialog->windowIcon().isNull());
    EXPECT_EQ(dialog->grab().toImage().pixelColor(620, 530), QColor(Qt::white));
}

TEST_F(Pages, ControlsGetTheirSharedFonts)
{
    OpenOnFolder({"firmware.bin"});
    struct Expected {
        Control control;
        SharedFontId font;
    };
    const Expected expected[] = {
        {Control::introductionLabel, SharedFontId::Normal10},
        {Control::step3Label, SharedFontId::Bold10},
        {Control::macBox4, SharedFontId::Normal11},
        {Control::updateButton, SharedFontId::Bold11},
        {Control::versionLabel, SharedFontId::Normal8},
        {Control::portList, SharedFontId::Bold10},
        {Control::statusLabel, SharedFontId::Bold10},
        {Control::backButton, SharedFontId::Normal10},
    };
    for (const Expected& font : expected) {
        SCOPED_TRACE(Text(font.control).toStdString());
        const QFont shown = Window(font.control)->font();
        EXPECT_EQ(shown.family(), SharedFontFace());
        EXPECT_EQ(shown.pixelSize(), SharedFont(font.font)->pixelSize());
        EXPECT_EQ(shown.bold(), SharedFont(font.font)->bold());
    }
}

// Grey, small and at the bottom, but readable.
TEST_F(Pages, TheVersionLineIsLegibleOnWhite)
{
    OpenOnFolder({"firmware.bin"});
    EXPECT_GE(ContrastOnWhite(TextColor(Control::versionLabel)), 4.5);
    EXPECT_NE(TextColor(Control::versionLabel), kBlack);
}

TEST_F(Pages, TheFirstThreeMacBoxesHoldTheFixedPrefixAndCannotBeEdited)
{
    OpenOnFolder({"firmware.bin"});
    for (int k = 0; k < kMacBoxCount; ++k) {
        auto* box = Window<QLineEdit>(MacBox(k));
        EXPECT_EQ(box->isReadOnly(), k < 3) << "box " << k;
        EXPECT_EQ(box->maxLength(), 2) << "box " << k;
    }
    EXPECT_EQ(Text(Control::macBox1), "50");
}

TEST_F(Pages, SetupPageOpensWithTheFolderImageAndNoBoard)
{
    OpenOnFolder({"a_old.bin", "b_new.bin"});
    EXPECT_EQ(Text(Control::imageLabel), "b_new.bin");
    EXPECT_EQ(TextColor(Control::imageLabel), kBlack);
    EXPECT_TRUE(Window<QAbstractButton>(Control::usbRadio)->isChecked());
    EXPECT_FALSE(Window<QAbstractButton>(Control::jlinkRadio)->isChecked());
    EXPECT_EQ(Text(Control::boardStatusLabel), "No board detected");
    EXPECT_EQ(TextColor(Control::boardStatusLabel), kRed);
    EXPECT_TRUE(Visible(Control::noBoardPicture));
    for (Control hidden : {Control::boardPicture, Control::probePicture, Control::noProbePicture,
                           Control::portList})
        EXPECT_FALSE(Visible(hidden)) << static_cast<int>(hidden);
    EXPECT_FALSE(Window(Control::updateButton)->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Window(Control::browseButton));
    // The result page's controls wait hidden behind the setup page.
    EXPECT_FALSE(Visible(Control::statusLabel));
    EXPECT_FALSE(Visible(Control::progressBar));
}

TEST_F(Pages, WithoutAnImageTheImageLineSaysSoAndWhereToCopyOneInRed)
{
    OpenOnFolder({});
    std::string expected(kNoImageText);
    expected.append("\n").append(programFolder.Path().string());
    EXPECT_EQ(Text(Control::imageLabel).toStdString(), expected);
    // Both lines stand above the Browse hint that follows 35 pixels lower.
    auto* label = Window<QLabel>(Control::imageLabel);
    EXPECT_LE(label->fontMetrics()
                  .boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text())
                  .height(),
              35);
    EXPECT_EQ(TextColor(Control::imageLabel), kRed);
}

TEST_F(Pages, TheDemoBoardShowsAsTheOnlyBoard)
{
    OpenOnDemo();
    EXPECT_EQ(Text(Control::imageLabel), "demo_firmware.bin");
    EXPECT_EQ(Text(Control::boardStatusLabel), "Board on ttyVELKAN0");
    EXPECT_EQ(TextColor(Control::boardStatusLabel), kGreen);
    EXPECT_TRUE(Visible(Control::boardStatusLabel));
    EXPECT_TRUE(Visible(Control::boardPicture));
    EXPECT_FALSE(Visible(Control::noBoardPicture));
    EXPECT_FALSE(Visible(Control::portList));
    EXPECT_TRUE(Window(Control::updateButton)->isEnabled());
}

TEST_F(Pages, TheJLinkRadioShowsTheProbeStateInstead)
{
    OpenOnFolder({"firmware.bin"});
    Click(Control::jlinkRadio);
    EXPECT_TRUE(Window<QAbstractButton>(Control::jlinkRadio)->isChecked());
    EXPECT_EQ(Text(Control::boardStatusLabel), "No J-Link detected");
    EXPECT_EQ(TextColor(Control::boardStatusLabel), kRed);
    EXPECT_TRUE(Visible(Control::noProbePicture));
    EXPECT_FALSE(Visible(Control::noBoardPicture));
    EXPECT_FALSE(Window(Control::updateButton)->isEnabled());

    Click(Control::usbRadio);
    EXPECT_EQ(Text(Control::boardStatusLabel), "No board detected");
    EXPECT_TRUE(Visible(Control::noBoardPicture));
    EXPECT_FALSE(Visible(Control::noProbePicture));
}

TEST_F(Pages, ResultPageShowsItsControlsInPlaceOfTheSetupPage)
{
    OpenOnFolder({"firmware.bin"});
    dialog->Logic().HandleCommand(1);
    for (Control shown : {Control::resultBannerPicture, Control::boardPhoto, Control::statusLabel,
                          Control::progressBar, Control::closeButton, Control::backButton})
        EXPECT_TRUE(Visible(shown)) << static_cast<int>(shown);
    EXPECT_FALSE(Visible(Control::instructionsPicture));
    for (Control hidden : {Control::bannerPicture, Control::updateButton, Control::macBox3,
                           Control::boardStatusLabel})
        EXPECT_FALSE(Visible(hidden)) << static_cast<int>(hidden);
    EXPECT_EQ(Window<QProgressBar>(Control::progressBar)->value(), 0);
    EXPECT_EQ(TextColor(Control::statusLabel), kBlack);
}

}  // namespace
