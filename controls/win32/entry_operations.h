#pragma once
// What the dialog does to its controls through their entries: texts and
// label colors, each changed only when it differs. Texts are UTF-8.

#include "controls/win32/loader_control.h"

#include <string>
#include <string_view>

std::string WindowText(HWND window);

// Sets the text only when it differs (exact, case-sensitive) and then
// repaints the control; reports whether it changed.
bool SetTextIfChanged(LoaderControl& entry, std::string_view text);

// Gives a colored label (or radio button) a new text color when it differs,
// records it in the entry and repaints; reports whether it changed.
bool SetLabelColor(LoaderControl& entry, ColorRef color);
