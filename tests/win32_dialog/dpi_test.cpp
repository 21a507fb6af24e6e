// The window at 120, 144 and 192 DPI: both pages scaled as a whole, every
// control's text fitting it. The 96-DPI window is the reference: what lies
// outside the client area or overlaps there (the band picture, deliberately
// wider than the window) may do so at every DPI, nothing more.
//
// The window's DPI changes as on a move to another screen (WM_DPICHANGED);
// the same checks run at the DPI the window starts with, which a prefix with
// another LogPixels sets (tests/win32_dialog/CMakeLists.txt).

#include "window_fixture.h"

#include "controls/win32/entry_operations.h"
#include "platform/win32/wide_text.h"
#include "shell/win32/window_frame.h"
#include "wizard/dpi_scale.h"
#include "wizard/page_tables.h"

#include <map>
#include <set>
#include <utility>

namespace {

struct Shown {
    Control control;
    RECT area;  // in the client area: a label's text, else its window
};

using Layout = std::vector<Shown>;

RECT PlaceInDialog(HWND control)
{
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// A static control draws its text word-wrapped from its top left; the rest of
// its window is empty and may lie anywhere.
RECT LabelTextArea(HWND label, RECT place)
{
    const std::wstring text = Widen(WindowText(label));
    if (text.empty())
        return RECT{place.left, place.top, place.left, place.top};
    const HDC context = GetDC(label);
    const HGDIOBJ old = SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT area{0, 0, place.right - place.left, 0};
    DrawTextW(context, text.c_str(), -1, &area, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(context, old);
    ReleaseDC(label, context);
    OffsetRect(&area, place.left, place.top);
    return area;
}

Layout ShownControls(const CVelkanFirmwareGUIDlg& dialog, Page page)
{
    Layout shown;
    for (const PageEntry& entry : PageTableOf(page).entries) {
        const HWND window = dialog.ControlWindow(entry.control);
        if (!IsWindowVisible(window))
            continue;
        const RECT place = PlaceInDialog(window);
        shown.push_back({entry.control, entry.kind == ControlKind::label
                                            ? LabelTextArea(window, place) : place});
    }
    return shown;
}

std::set<Control> OutsideClient(const Layout& layout, HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    std::set<Control> outside;
    for (const Shown& control : layout) {
        RECT both;
        IntersectRect(&both, &control.area, &client);
        if (!EqualRect(&both, &control.area) && !IsRectEmpty(&control.area))
            outside.insert(control.control);
    }
    return outside;
}

std::set<std::pair<Control, Control>> Overlaps(const Layout& layout)
{
    std::set<std::pair<Control, Control>> overlaps;
    for (std::size_t a = 0; a < layout.size(); ++a) {
        for (std::size_t b = a + 1; b < layout.size(); ++b) {
            RECT both;
            if (IntersectRect(&both, &layout[a].area, &layout[b].area))
                overlaps.insert({layout[a].control, layout[b].control});
        }
    }
    return overlaps;
}

// How much the text needs beyond the control's client area: none for a label
// (its wrapped text must stay in its window), a check mark and gap for a
// radio button, a border and padding for a button and an edit box.
SIZE TextMargin(ControlKind kind, int dpi)
{
    switch (kind) {
    case ControlKind::radio: return {ScaleToDpi(17, dpi), 0};
    case ControlKind::button: return {ScaleToDpi(8, dpi), ScaleToDpi(4, dpi)};
    case ControlKind::macBox: return {ScaleToDpi(2, dpi), 0};
    default: return {0, 0};
    }
}

// Each text control's text, in its own font, fits the control's client area.
void ExpectTextsFit(const CVelkanFirmwareGUIDlg& dialog, Page page, int dpi)
{
    for (const PageEntry& entry : PageTableOf(page).entries) {
        const HWND window = dialog.ControlWindow(entry.control);
        const std::wstring text = Widen(WindowText(window));
        if (!entry.font || text.empty() || entry.kind == ControlKind::portList)
            continue;
        RECT client;
        GetClientRect(window, &client);
        const HDC context = GetDC(window);
        const HGDIOBJ old = SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
        SIZE needed{};
        if (entry.kind == ControlKind::label) {
            RECT area{0, 0, client.right, 0};
            DrawTextW(context, text.c_str(), -1, &area, DT_CALCRECT | DT_WORDBREAK);
            needed = {area.right, area.bottom};
        } else {
            GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &needed);
        }
        SelectObject(context, old);
        ReleaseDC(window, context);
        const SIZE margin = TextMargin(entry.kind, dpi);
        EXPECT_LE(needed.cx + margin.cx, client.right) << "width of " << WindowText(window);
        EXPECT_LE(needed.cy + margin.cy, client.bottom) << "height of " << WindowText(window);
    }
}

class HighDpi : public WindowFixture, public testing::WithParamInterface<int> {
protected:
    // As the system moves the window to a screen of `dpi`.
    void MoveToDpi(int dpi)
    {
        const HWND window = dialog->Handle();
        SIZE outer{};
        ASSERT_TRUE(SendMessageW(window, 0x02E4 /* WM_GETDPISCALEDSIZE */, dpi,
                                 reinterpret_cast<LPARAM>(&outer)));
        // The frame at that DPI around the scaled page, not the system's
        // guess of the whole window scaled.
        const Extent expected = OuterSizeForClient(ScaleToDpi(kClientSize, dpi),
                                                   GetWindowLongW(window, GWL_STYLE),
                                                   GetWindowLongW(window, GWL_EXSTYLE), dpi);
        EXPECT_EQ(outer.cx, expected.width);
        EXPECT_EQ(outer.cy, expected.height);
        RECT suggested;
        GetWindowRect(window, &suggested);
        suggested.right = suggested.left + outer.cx;
        suggested.bottom = suggested.top + outer.cy;
        SendMessageW(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
    }

    void ExpectScaledPages(int dpi)
    {
        for (const Page page : {Page::setup, Page::result}) {
            SCOPED_TRACE(page == Page::setup ? "setup page" : "result page");
            dialog->ShowPage(page);
            const Layout scaled = ShownControls(*dialog, page);
            const auto outside = OutsideClient(scaled, dialog->Handle());
            const auto& allowedOutside = referenceOutside[page];
            for (const Control control : outside)
                EXPECT_TRUE(allowedOutside.contains(control)) << static_cast<int>(control);
            const auto allowedOverlaps = Overlaps(reference[page]);
            for (const auto& [a, b] : Overlaps(scaled))
                EXPECT_TRUE(allowedOverlaps.contains({a, b}))
                    << static_cast<int>(a) << " over " << static_cast<int>(b);
            ExpectTextsFit(*dialog, page, dpi);
            Screenshot(((page == Page::setup ? "setup_page_" : "result_page_") +
                        std::to_string(dpi) + "dpi").c_str());
        }
    }

    // Both pages as the 96-DPI window shows them.
    void TakeReference()
    {
        for (const Page page : {Page::setup, Page::result}) {
            dialog->ShowPage(page);
            reference[page] = ShownControls(*dialog, page);
            referenceOutside[page] = OutsideClient(reference[page], dialog->Handle());
        }
        dialog->ShowPage(Page::setup);
    }

    std::map<Page, Layout> reference;
    std::map<Page, std::set<Control>> referenceOutside;
};

TEST_P(HighDpi, PagesScaleWhenTheWindowMovesToAScreenOfThatDpi)
{
    OpenOnFolder({"firmware.bin"});
    TakeReference();
    const int dpi = GetParam();
    MoveToDpi(dpi);
    ExpectScaledPages(dpi);
    // A picture's window grows with it; the canvas stays the picture's own.
    const RECT banner = PlaceInDialog(Window(Control::bannerPicture));
    EXPECT_EQ(banner.right - banner.left, ScaleToDpi(634, dpi));
    EXPECT_EQ(banner.bottom - banner.top, ScaleToDpi(66, dpi));
}

// The setting as the system reads it from the program's manifest: wine
// draws an unaware window at the screen's DPI all the same, so only this
// says that Windows will not stretch it.
std::wstring ManifestSetting(const wchar_t* space, const wchar_t* name)
{
    wchar_t value[100] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, nullptr, space, name, value, 100, &written))
        return L"(none)";
    return value;
}

TEST(Manifest, DeclaresPerMonitorDpiAwarenessWithAFallback)
{
    EXPECT_EQ(ManifestSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                              L"dpiAwareness"),
              L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(ManifestSetting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
              L"true/pm");
}

INSTANTIATE_TEST_SUITE_P(Dpi, HighDpi, testing::Values(96, 120, 144, 192));

// The window opens at the DPI of the screen it is on (LogPixels in a prefix).
TEST_F(HighDpi, PagesScaleToTheScreensDpiAtStart)
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // The reference is the 96-DPI window: made at start, then sized back.
    OpenOnFolder({"firmware.bin"});
    EXPECT_EQ(static_cast<int>(WindowDpi(dialog->Handle())), dpi);
    // Only a window whose DPI the system changed has the frame of that DPI:
    // a WM_DPICHANGED sent by a test does not change the caption.
    RECT client;
    GetClientRect(dialog->Handle(), &client);
    EXPECT_EQ(client.right, ScaleToDpi(kClientSize.width, dpi));
    EXPECT_EQ(client.bottom, ScaleToDpi(kClientSize.height, dpi));
    MoveToDpi(kLayoutDpi);
    TakeReference();
    MoveToDpi(dpi);
    ExpectScaledPages(dpi);
}

}  // namespace
