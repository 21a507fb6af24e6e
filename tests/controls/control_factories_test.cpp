// The control kinds: what each factory creates and what its entry records.

#include "controls/color_label.h"
#include "controls/control_factories.h"
#include "controls/custom_button.h"
#include "controls/custom_combo.h"
#include "controls/custom_radio_button.h"
#include "controls/entry_operations.h"
#include "controls/param_edit.h"
#include "controls/picture_ex.h"
#include "controls/shared_fonts.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct KindCase {
    const char* name;
    std::function<std::unique_ptr<LoaderControl>(QWidget*)> create;
    ControlKind kind;  // whose traits in the page tables it must follow
};

class ControlKindTest : public testing::TestWithParam<KindCase> {};

TEST_P(ControlKindTest, CreatesAHiddenChildWithItsEntry) {
    QWidget dialog;
    dialog.show();
    const KindCase& kind = GetParam();
    const KindTraits& traits = TraitsOf(kind.kind);
    auto entry = kind.create(&dialog);
    ASSERT_NE(entry->window, nullptr);
    EXPECT_EQ(entry->window->parentWidget(), &dialog);
    EXPECT_TRUE(entry->window->isHidden());
    EXPECT_EQ(entry->window->geometry(), QRect(0, 0, traits.window.width, traits.window.height));
    EXPECT_EQ(entry->shown, 1);
    EXPECT_EQ(entry->x, 0);
    EXPECT_EQ(entry->y, 0);
    EXPECT_EQ(entry->width, traits.entry.width);
    EXPECT_EQ(entry->height, traits.entry.height);
    EXPECT_EQ(entry->color, 0u);
    const int id = ControlId(entry->window);
    if (traits.numbered) {
        EXPECT_GE(id, kFirstControlIdentifier);
        auto another = kind.create(&dialog);
        EXPECT_EQ(ControlId(another->window), id + 1);
    } else {
        EXPECT_EQ(id, kUnnumberedIdentifier);
    }
}

QFont* Font10() {
    CreateFonts();
    return SharedFont(SharedFontId::Normal10);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ControlKindTest,
    testing::Values(
        KindCase{"Label", [](QWidget* d) { return CreateLabel(d, "text", Font10()); },
                 ControlKind::label},
        KindCase{"MacBox", [](QWidget* d) { return CreateMacBox(d, "00", Font10()); },
                 ControlKind::macBox},
        KindCase{"Button", [](QWidget* d) { return CreateButton(d, "Close", Font10(), nullptr); },
                 ControlKind::button},
        KindCase{"Radio", [](QWidget* d) { return CreateRadio(d, "USB", Font10(), nullptr); },
                 ControlKind::radio},
        KindCase{"PortList", [](QWidget* d) { return CreatePortList(d, nullptr); },
                 ControlKind::portList},
        KindCase{"ProgressBar", [](QWidget* d) { return CreateProgressBar(d); },
                 ControlKind::progressBar},
        KindCase{"MissingPicture", [](QWidget* d) { return CreatePicture(d, 999); },
                 ControlKind::picture}),
    [](const testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

TEST(ControlFactoriesTest, EachKindIsItsOwnControlClassWithItsFont) {
    QWidget dialog;
    CreateFonts();
    QFont* bold10 = SharedFont(SharedFontId::Bold10);
    QFont* normal11 = SharedFont(SharedFontId::Normal11);
    int clicks = 0;

    auto label = CreateLabel(&dialog, "Version 1.0.0", normal11);
    EXPECT_NE(dynamic_cast<ColorLabel*>(label->window), nullptr);
    EXPECT_EQ(label->font, normal11);
    EXPECT_EQ(label->window->font(), *normal11);
    EXPECT_EQ(WindowText(label->window), "Version 1.0.0");

    auto box = CreateMacBox(&dialog, "C2", normal11);
    EXPECT_NE(dynamic_cast<CParamEdit*>(box->window), nullptr);
    EXPECT_EQ(WindowText(box->window), "C2");

    auto button = CreateButton(&dialog, "Browse...", normal11, [&] { ++clicks; });
    ASSERT_NE(dynamic_cast<CustomButton*>(button->window), nullptr);
    static_cast<CustomButton*>(button->window)->click();
    EXPECT_EQ(clicks, 1);

    auto radio = CreateRadio(&dialog, "Use USB COM port connection", normal11, [&] { ++clicks; });
    ASSERT_NE(dynamic_cast<CCustomRadioButton*>(radio->window), nullptr);
    static_cast<CCustomRadioButton*>(radio->window)->click();
    EXPECT_EQ(clicks, 2);

    auto list = CreatePortList(&dialog, nullptr);
    EXPECT_NE(dynamic_cast<CustomCombo*>(list->window), nullptr);
    EXPECT_EQ(list->font, bold10);
    EXPECT_EQ(list->window->font(), *bold10);

    auto progress = CreateProgressBar(&dialog);
    auto* bar = dynamic_cast<QProgressBar*>(progress->window);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(progress->font, nullptr);
}

TEST(ControlFactoriesTest, APictureTakesItsPictureSize) {
    QWidget dialog;
    const std::pair<int, QSize> pictures[] = {
        {139, {634, 66}}, {140, {77, 44}}, {141, {284, 155}}, {142, {77, 44}},
        {144, {77, 44}}, {145, {77, 44}}, {147, {800, 600}}, {150, {594, 299}}};
    for (const auto& [number, size] : pictures) {
        auto entry = CreatePicture(&dialog, number);
        auto* picture = dynamic_cast<CPictureEx*>(entry->window);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->size(), size) << number;
        EXPECT_TRUE(picture->CanvasReady()) << number;
        EXPECT_EQ(entry->width, 100);  // the kind's, not the picture's
        EXPECT_EQ(entry->font, nullptr);
    }
}

TEST(ControlFactoriesTest, SetTextIfChangedComparesExactly) {
    QWidget dialog;
    auto label = CreateLabel(&dialog, "Board on ttyUSB0", nullptr);
    EXPECT_FALSE(SetTextIfChanged(*label, "Board on ttyUSB0"));
    EXPECT_TRUE(SetTextIfChanged(*label, "Board on TTYUSB0"));
    EXPECT_EQ(WindowText(label->window), "Board on TTYUSB0");
    auto button = CreateButton(&dialog, "Close", nullptr, nullptr);
    EXPECT_TRUE(SetTextIfChanged(*button, "<< Back"));
    EXPECT_EQ(WindowText(button->window), "<< Back");
}

TEST(ControlFactoriesTest, SetLabelColorRecordsTheColorInTheEntry) {
    QWidget dialog;
    auto label = CreateLabel(&dialog, "No board detected", nullptr);
    auto* window = static_cast<ColorLabel*>(label->window);
    EXPECT_FALSE(SetLabelColor(*label, 0));
    EXPECT_TRUE(SetLabelColor(*label, 255));
    EXPECT_EQ(window->textColor, 255u);
    EXPECT_EQ(label->color, 255u);
    EXPECT_FALSE(SetLabelColor(*label, 255));
    auto button = CreateButton(&dialog, "Close", nullptr, nullptr);
    EXPECT_FALSE(SetLabelColor(*button, 255));  // has no color of its own
    EXPECT_EQ(button->color, 0u);
}

TEST(SharedFontsTest, TenFontsAtTheScreensResolution) {
    CreateFonts();
    ASSERT_TRUE(FontsCreated());
    const int dpi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY());
    const struct {
        SharedFontId id;
        int points;
        bool bold;
    } fonts[] = {{SharedFontId::Normal8, 8, false},  {SharedFontId::Normal10, 10, false},
                 {SharedFontId::Normal11, 11, false}, {SharedFontId::Normal12, 12, false},
                 {SharedFontId::Normal14, 14, false}, {SharedFontId::Bold8, 8, true},
                 {SharedFontId::Bold10, 10, true},     {SharedFontId::Bold11, 11, true},
                 {SharedFontId::Bold12, 12, true},     {SharedFontId::Bold14, 14, true}};
    for (const auto& expected : fonts) {
        const QFont* font = SharedFont(expected.id);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->pixelSize(), FontPixelHeight(expected.points, dpi));
        EXPECT_EQ(font->bold(), expected.bold);
        EXPECT_FALSE(font->italic());
        EXPECT_FALSE(font->underline());
        EXPECT_EQ(QFontInfo(*font).family(), SharedFontFace());
    }
}

TEST(SharedFontsTest, PixelHeightRoundsToTheNearestPixel) {
    const struct {
        int points, dpi, pixels;
    } cases[] = {{8, 96, 11}, {10, 96, 13}, {11, 96, 15}, {12, 96, 16},
                 {14, 96, 19}, {10, 120, 17}, {8, 144, 16}};
    for (const auto& c : cases) {
        EXPECT_EQ(FontPixelHeight(c.points, c.dpi), c.pixels) << c.points << " pt at " << c.dpi;
    }
}

}  // namespace
