#include "controls/win32/control_renderer.h"

#include "controls/win32/shared_fonts.h"

#include <algorithm>

namespace {

std::vector<HWND> ShownWindows(const ControlPage& page) {
    std::vector<HWND> windows;
    for (const LoaderControl* entry : page)
        if (entry->shown) windows.push_back(entry->window);
    return windows;
}

bool Contains(const std::vector<HWND>& windows, HWND window) {
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

// The style bit alone: ShowWindow would draw each control at once, and one
// repaint of the whole dialog at the end draws the page in one go.
void SetVisible(HWND window, bool visible) {
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR wanted = visible ? (style | WS_VISIBLE) : (style & ~LONG_PTR{WS_VISIBLE});
    if (wanted != style) ::SetWindowLongPtrW(window, GWL_STYLE, wanted);
}

bool TakesTabFocus(HWND window) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_TABSTOP) && ::IsWindowEnabled(window);
}

// A hidden control must never hold the focus: a key meant for the page on
// the screen would act on it. The focus goes to the first control of the
// page that takes it, through the dialog so that it keeps track of its
// default button; else to the dialog itself, whose own procedure then keeps
// it there (the dialog manager would restore the control it saved, which
// may be one that has just been hidden).
void KeepFocusOn(HWND owner, const std::vector<HWND>& shown) {
    const HWND focus = ::GetFocus();
    if (!focus || focus == owner || ::GetParent(focus) != owner || Contains(shown, focus)) return;
    const auto reachable = std::find_if(shown.begin(), shown.end(), TakesTabFocus);
    if (reachable != shown.end())
        ::SendMessageW(owner, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(*reachable), TRUE);
    else
        ::SetFocus(owner);
}

}  // namespace

ControlRenderer::ControlRenderer(HWND ownerWindow) : owner(ownerWindow) { CreateFonts(); }

// Only what leaves the screen is hidden: hiding the control that has the
// focus, even for a moment, would move the focus away from what the user is
// typing into.
void ControlRenderer::ShowPage(const ControlPage& page) {
    const std::vector<HWND> shown = ShownWindows(page);
    if (currentPage) {
        for (const LoaderControl* entry : *currentPage)
            if (!Contains(shown, entry->window)) SetVisible(entry->window, false);
    }
    for (const LoaderControl* entry : page)
        if (!entry->shown) SetVisible(entry->window, false);
    HWND previous = HWND_TOP;
    for (HWND window : shown) {
        ::SetWindowPos(window, previous, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        SetVisible(window, true);
        previous = window;
    }
    currentPage = &page;
    KeepFocusOn(owner, shown);
    ::InvalidateRect(owner, nullptr, TRUE);
}
