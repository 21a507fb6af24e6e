#pragma once
// A real dialog window for the controls to live on, shown on the display,
// white like the wizard's. Its procedure passes each message to
// ReflectToControl first, as the wizard's does, and keeps the commands that
// still reach it.

#include <windows.h>

#include <string_view>
#include <utility>
#include <vector>

class TestDialog {
public:
    TestDialog();
    ~TestDialog();
    TestDialog(const TestDialog&) = delete;
    TestDialog& operator=(const TestDialog&) = delete;

    const HWND window;
    std::vector<WORD> commands;  // notification codes the controls left to the dialog
};

// Moves a control to x, y at its size and shows it.
void Place(HWND control, int x, int y, int width, int height);

// Sends each character as the keyboard would, to the window with the focus.
void Type(std::string_view keys);

void SetClipboard(HWND owner, std::string_view text);

// Start and end of an edit control's selection; equal for a bare caret.
std::pair<int, int> Selection(HWND edit);
