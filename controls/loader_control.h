#pragma once
// One control of the wizard and what the page builders recorded about it.
// A page is an ordered list of entries; ControlRenderer shows one at a time.

#include "wizard/colors.h"

#include <cstdint>
#include <functional>

class QFont;
class QWidget;

// What a button, radio button or list does when the user works it.
using ControlAction = std::function<void()>;


class LoaderControl {
public:
    // The window belongs to the dialog, which destroys it with itself.
    virtual ~LoaderControl() = default;

    std::int32_t shown = 1;  // shown when its page is shown
    QWidget* window = nullptr;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t height = 0;
    std::int32_t width = 0;
    QFont* font = nullptr;  // null: the control keeps the toolkit's font
    ColorRef color = 0;   // the text color last given to a label
};
