// The other controls on a real dialog: their actions, their colors, how the
// factories make them and how pages show them.

#include "test_dialog.h"

#include "controls/win32/control_factories.h"
#include "controls/win32/control_renderer.h"
#include "controls/win32/entry_operations.h"
#include "controls/win32/shared_fonts.h"
#include "wizard/dpi_scale.h"
#include "wizard/page_tables.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Entry = std::unique_ptr<LoaderControl>;
using MakeWithAction = std::function<Entry(HWND, ControlAction)>;

Entry MakeButton(HWND dialog, ControlAction action) {
    return CreateButton(dialog, "Browse...", SharedFont({10, false}), std::move(action));
}
Entry MakeRadio(HWND dialog, ControlAction action) {
    return CreateRadio(dialog, "Serial port", SharedFont({10, false}), std::move(action));
}
Entry MakePortList(HWND dialog, ControlAction action) {
    Entry list = CreatePortList(dialog, std::move(action));
    ::SendMessageW(list->window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"COM3"));
    ::SendMessageW(list->window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"COM7"));
    return list;
}

// What the user does to the control, and what code does to it.
void Click(HWND control) { ::SendMessageW(control, BM_CLICK, 0, 0); }
void Choose(HWND list) {
    ::SendMessageW(::GetParent(list), WM_COMMAND,
                   MAKEWPARAM(::GetDlgCtrlID(list), CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}
void CheckFromCode(HWND radio) { ::SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0); }
void SelectFromCode(HWND list) { ::SendMessageW(list, CB_SETCURSEL, 1, 0); }

struct ActionCase {
    const char* name;
    MakeWithAction make;
    std::function<void(HWND)> userAct;
    std::function<void(HWND)> codeAct;  // may be empty
};

void PrintTo(const ActionCase& c, std::ostream* out) { *out << c.name; }

class UserAction : public ::testing::TestWithParam<ActionCase> {
protected:
    void SetUp() override { CreateFonts(); }
    TestDialog dialog;
};

TEST_P(UserAction, RunsOnTheUsersActOnlyAndTheDialogSeesNoCommand) {
    int runs = 0;
    Entry control = GetParam().make(dialog.window, [&runs] { ++runs; });
    Place(control->window, 20, 20, control->width, control->height);
    if (GetParam().codeAct) GetParam().codeAct(control->window);
    EXPECT_EQ(runs, 0);

    GetParam().userAct(control->window);

    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(dialog.commands.empty());
}

TEST_P(UserAction, WithoutAnActionDoesNothing) {
    Entry control = GetParam().make(dialog.window, nullptr);
    Place(control->window, 20, 20, control->width, control->height);
    GetParam().userAct(control->window);
    EXPECT_TRUE(dialog.commands.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UserAction,
    ::testing::Values(ActionCase{"Button", MakeButton, Click, nullptr},
                      ActionCase{"Radio", MakeRadio, Click, CheckFromCode},
                      ActionCase{"PortList", MakePortList, Choose, SelectFromCode}),
    [](const auto& info) { return std::string(info.param.name); });

struct ColorCase {
    const char* name;
    std::function<Entry(HWND)> make;
};

void PrintTo(const ColorCase& c, std::ostream* out) { *out << c.name; }

class ColoredText : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColoredText, DrawsInItsColorOnATransparentGround) {
    CreateFonts();
    TestDialog dialog;
    Entry control = GetParam().make(dialog.window);
    ASSERT_TRUE(SetLabelColor(*control, kRed));
    EXPECT_FALSE(SetLabelColor(*control, kRed));
    EXPECT_EQ(control->color, kRed);

    const HDC dc = ::CreateCompatibleDC(nullptr);
    const auto brush = ::SendMessageW(dialog.window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                      reinterpret_cast<LPARAM>(control->window));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(::GetTextColor(dc), RGB(255, 0, 0));
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    ::DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ColoredText,
    ::testing::Values(
        ColorCase{"Label", [](HWND dialog) { return CreateLabel(dialog, "Status", SharedFont({10, true})); }},
        ColorCase{"Radio", [](HWND dialog) { return MakeRadio(dialog, nullptr); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FixedMacBox, KeepsBlackDigitsOnALightGreyGround) {
    CreateFonts();
    TestDialog dialog;
    Entry box = CreateMacBox(dialog.window, "C2", SharedFont({11, false}));
    ::SendMessageW(box->window, EM_SETREADONLY, TRUE, 0);

    const HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetTextColor(dc, RGB(1, 2, 3));
    const auto brush = ::SendMessageW(dialog.window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                      reinterpret_cast<LPARAM>(box->window));
    LOGBRUSH ground{};
    ASSERT_NE(::GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof ground, &ground), 0);
    EXPECT_EQ(ground.lbColor, RGB(0xE3, 0xE3, 0xE3));
    EXPECT_EQ(::GetBkColor(dc), RGB(0xE3, 0xE3, 0xE3));
    EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 0));
    ::DeleteDC(dc);
}

// Counts the pixels of the dialog in `area` that are not its white ground.
int InkIn(HWND dialog, RECT area) {
    const HDC dc = ::GetDC(dialog);
    int ink = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (::GetPixel(dc, x, y) != RGB(255, 255, 255)) ++ink;
    ::ReleaseDC(dialog, dc);
    return ink;
}

// A transparent label draws over what it drew before; a shorter text must
// leave no trace of the longer one.
TEST(ColorLabel, ChangedTextLeavesNoTraceOfTheOldOne) {
    CreateFonts();
    TestDialog dialog;
    Entry label = CreateLabel(dialog.window, "WWWWWWWWWWWWWWWWWWWW", SharedFont({14, true}));
    Place(label->window, 20, 20, 400, 40);
    ::UpdateWindow(dialog.window);
    const RECT tail{120, 20, 420, 60};  // right of where a short text ends
    ASSERT_GT(InkIn(dialog.window, tail), 0);

    ASSERT_TRUE(SetTextIfChanged(*label, "W"));
    EXPECT_FALSE(SetTextIfChanged(*label, "W"));

    EXPECT_EQ(WindowText(label->window), "W");
    EXPECT_EQ(InkIn(dialog.window, tail), 0);
}

struct FactoryCase {
    const char* name;
    ControlKind kind;
    std::function<Entry(HWND)> make;
    HFONT font;
    // Style bits the system's control takes over: an edit box draws its
    // border itself.
    DWORD takenOver = 0;
};

void PrintTo(const FactoryCase& c, std::ostream* out) { *out << c.name; }

class Factory : public ::testing::TestWithParam<FactoryCase> {};

TEST_P(Factory, MakesAHiddenControlWithTheTraitsOfItsKind) {
    const FactoryCase& c = GetParam();
    const KindTraits& traits = TraitsOf(c.kind);
    TestDialog dialog;
    Entry first = c.make(dialog.window);
    Entry second = c.make(dialog.window);

    const HWND window = second->window;
    EXPECT_EQ(::GetParent(window), dialog.window);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)), traits.style & ~c.takenOver);
    RECT area;
    ::GetWindowRect(window, &area);
    EXPECT_EQ(area.right - area.left, traits.window.width);
    if (c.kind != ControlKind::portList) {  // the closed list's height is its font's
        EXPECT_EQ(area.bottom - area.top, traits.window.height);
    }
    if (traits.numbered) {
        EXPECT_GE(ControlId(first->window), kFirstControlIdentifier);
        EXPECT_EQ(ControlId(window), ControlId(first->window) + 1);
    } else {
        EXPECT_EQ(ControlId(window), kUnnumberedIdentifier);
    }
    EXPECT_EQ(second->shown, 1);
    EXPECT_EQ(std::make_pair(second->x, second->y), std::make_pair(0, 0));
    EXPECT_EQ(std::make_pair(second->width, second->height),
              std::make_pair(traits.entry.width, traits.entry.height));
    EXPECT_EQ(second->font, c.font);
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)), c.font);
}

// The fonts exist before the cases are listed, so the cases can name them.
const bool kFontsMade = (CreateFonts(), true);
const HFONT kBold10 = SharedFont({10, true});
const HFONT kNormal11 = SharedFont({11, false});

INSTANTIATE_TEST_SUITE_P(
    Kinds, Factory,
    ::testing::Values(
        FactoryCase{"Label", ControlKind::label,
                    [](HWND dialog) { return CreateLabel(dialog, "Text", kBold10); }, kBold10},
        FactoryCase{"MacBox", ControlKind::macBox,
                    [](HWND dialog) { return CreateMacBox(dialog, "00", kNormal11); }, kNormal11,
                    WS_BORDER},
        FactoryCase{"Button", ControlKind::button,
                    [](HWND dialog) { return CreateButton(dialog, "Next", kBold10, nullptr); }, kBold10},
        FactoryCase{"Radio", ControlKind::radio,
                    [](HWND dialog) { return CreateRadio(dialog, "USB", kBold10, nullptr); }, kBold10},
        FactoryCase{"PortList", ControlKind::portList,
                    [](HWND dialog) { return CreatePortList(dialog, nullptr); }, kBold10},
        FactoryCase{"ProgressBar", ControlKind::progressBar,
                    [](HWND dialog) { return CreateProgressBar(dialog); }, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SharedFonts, AreTahomaAtTheirPointSizes) {
    CreateFonts();
    for (const FontStyle& style : SharedFonts()) {
        LOGFONTW font{};
        ASSERT_NE(::GetObjectW(SharedFont(style), sizeof font, &font), 0);
        EXPECT_STREQ(font.lfFaceName, L"Tahoma");
        EXPECT_EQ(font.lfWeight, style.bold ? FW_BOLD : FW_NORMAL);
        const HDC screen = ::GetDC(nullptr);
        EXPECT_EQ(font.lfHeight, -::MulDiv(style.points, ::GetDeviceCaps(screen, LOGPIXELSY), 72));
        ::ReleaseDC(nullptr, screen);
    }
    EXPECT_EQ(SharedFont({9, false}), nullptr);
}

TEST(SharedFonts, EachDpiHasItsOwnSetAndTheScreensIsTheDefault) {
    CreateFonts();
    const HDC screen = ::GetDC(nullptr);
    const int screenDpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    for (const FontStyle& style : SharedFonts()) {
        EXPECT_EQ(SharedFont(style, screenDpi), SharedFont(style));
        for (const int dpi : {120, 144, 192}) {
            LOGFONTW font{};
            ASSERT_NE(::GetObjectW(SharedFont(style, dpi), sizeof font, &font), 0);
            EXPECT_EQ(font.lfHeight, -::MulDiv(style.points, dpi, 72)) << dpi;
            EXPECT_EQ(SharedFont(style, dpi), SharedFont(style, dpi));
        }
    }
    EXPECT_EQ(SharedFont({9, false}, 144), nullptr);
}

// A control placed by the tables and a frame computed by the system must
// agree to the pixel; the system scales with MulDiv.
TEST(DpiScale, RoundsAsTheSystemDoes) {
    for (const int dpi : {96, 120, 144, 168, 192, 240})
        for (int value = -700; value <= 700; ++value)
            ASSERT_EQ(ScaleToDpi(value, dpi), ::MulDiv(value, dpi, 96)) << value << " at " << dpi;
}

class ShowPage : public ::testing::Test {
protected:
    void SetUp() override {
        for (int k = 0; k < 3; ++k) buttons.push_back(MakeButton(dialog.window, nullptr));
        label = CreateLabel(dialog.window, "L", nullptr);
        label->shown = 0;
    }
    HWND Button(int k) const { return buttons[static_cast<std::size_t>(k)]->window; }
    bool Visible(HWND window) const { return ::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE; }

    TestDialog dialog;
    std::vector<Entry> buttons;
    Entry label;
    ControlRenderer renderer{dialog.window};
};

TEST_F(ShowPage, ShowsOnePageInPageOrderAndHidesTheOneBefore) {
    const ControlPage first{buttons[0].get(), label.get(), buttons[1].get()};
    const ControlPage second{buttons[2].get(), buttons[1].get()};

    renderer.ShowPage(first);
    EXPECT_TRUE(Visible(Button(0)) && Visible(Button(1)));
    EXPECT_FALSE(Visible(label->window) || Visible(Button(2)));
    EXPECT_EQ(::GetWindow(dialog.window, GW_CHILD), Button(0));
    EXPECT_EQ(::GetWindow(Button(0), GW_HWNDNEXT), Button(1));

    renderer.ShowPage(second);
    EXPECT_FALSE(Visible(Button(0)));
    EXPECT_TRUE(Visible(Button(2)) && Visible(Button(1)));
    EXPECT_EQ(::GetWindow(dialog.window, GW_CHILD), Button(2));
    EXPECT_EQ(::GetWindow(Button(2), GW_HWNDNEXT), Button(1));
    EXPECT_EQ(renderer.currentPage, &second);
}

struct FocusCase {
    const char* name;
    int focusedBefore;
    int focusedAfter;
};

void PrintTo(const FocusCase& c, std::ostream* out) { *out << c.name; }

class ShowPageFocus : public ShowPage, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(ShowPageFocus, LeavesTheFocusOnlyWhereItIsShown) {
    const ControlPage first{buttons[0].get(), buttons[1].get()};
    const ControlPage second{buttons[2].get(), buttons[1].get()};
    renderer.ShowPage(first);
    ::SetFocus(Button(GetParam().focusedBefore));
    renderer.ShowPage(second);
    EXPECT_EQ(::GetFocus(), Button(GetParam().focusedAfter));
}

INSTANTIATE_TEST_SUITE_P(Cases, ShowPageFocus,
                         ::testing::Values(FocusCase{"StaysOnAControlStillShown", 1, 1},
                                           FocusCase{"MovesOffAHiddenControl", 0, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
