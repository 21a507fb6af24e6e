#pragma once
// The keyboard's way through a page as the system's dialogs have it: the
// radio buttons that stand in a row in page order are one group, which Tab
// enters once, at the checked one, and in which the arrow keys move. Every
// other control is a group of its own: which picture follows the radio
// buttons changes with what is plugged in, and an arrow key must never
// carry the focus from a radio button onto a picture or a label.

#include "wizard/page_tables.h"

#include <windows.h>

#include <functional>

// Run once the page's controls exist and the radio buttons are checked as
// their entries say; the radio buttons keep the tab stop on the checked one
// from then on themselves.
void GroupForKeyboard(const PageTable& table, const std::function<HWND(Control)>& windowOf);
