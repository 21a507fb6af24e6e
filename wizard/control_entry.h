#pragma once
// One control of the wizard and what the page builders recorded about it, in
// either window: `Window` is the toolkit's handle of the control, `Font` its
// font's. A page is an ordered list of entries; the renderer shows one page
// at a time.

#include "wizard/colors.h"

#include <cstdint>
#include <functional>

// What a button, radio button or list does when the user works it.
using ControlAction = std::function<void()>;

template <typename Window, typename Font>
class ControlEntry {
public:
    // The window belongs to the dialog, which destroys it with itself; a
    // kind that keeps an object of its own behind the window derives from
    // this and owns that object.
    virtual ~ControlEntry() = default;

    std::int32_t shown = 1;  // shown when its page is shown
    Window window{};
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t height = 0;
    std::int32_t width = 0;
    Font font{};           // null: the control keeps the toolkit's font
    ColorRef color = 0;    // the text color last given to a label
};
