#include "controls/win32/custom_button.h"

CustomButton* CustomButton::Attach(HWND window, ControlAction action) {
    return new CustomButton(window, std::move(action));
}

CustomButton::CustomButton(HWND window, ControlAction action)
    : ControlObject(window, Owner::window), handler(std::move(action)) {}

bool CustomButton::OnNotification(WORD code) {
    if (code != BN_CLICKED) return false;
    Run(handler);
    return true;
}
