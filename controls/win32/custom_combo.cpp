#include "controls/win32/custom_combo.h"

CustomCombo* CustomCombo::Attach(HWND window, ControlAction action) {
    return new CustomCombo(window, std::move(action));
}

CustomCombo::CustomCombo(HWND window, ControlAction action)
    : ControlObject(window, Owner::window), handler(std::move(action)) {}

bool CustomCombo::OnNotification(WORD code) {
    if (code != CBN_SELCHANGE) return false;
    Run(handler);
    return true;
}
