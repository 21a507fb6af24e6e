#pragma once
// Shows one page of controls at a time on the Windows dialog.

#include "controls/win32/loader_control.h"

#include <vector>

using ControlPage = std::vector<LoaderControl*>;

class ControlRenderer {
public:
    // Also makes sure that the shared fonts exist.
    explicit ControlRenderer(HWND owner);
    virtual ~ControlRenderer() = default;

    // Hides the page shown last (WS_VISIBLE off, no redraw) and shows the
    // entries of `page` whose shown flag is set, each placed in the sibling
    // order after the one before, so that page order is tab order; then
    // invalidates the owner with erase. The page must outlive its showing.
    void ShowPage(const ControlPage& page);

    const ControlPage* currentPage = nullptr;
    const HWND owner;
};
