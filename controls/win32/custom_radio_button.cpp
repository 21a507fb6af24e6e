#include "controls/win32/custom_radio_button.h"

CCustomRadioButton* CCustomRadioButton::Attach(HWND window, ControlAction action) {
    return new CCustomRadioButton(window, std::move(action));
}

CCustomRadioButton::CCustomRadioButton(HWND window, ControlAction action)
    : ColorLabel(window), handler(std::move(action)) {}

bool CCustomRadioButton::OnNotification(WORD code) {
    if (code != BN_CLICKED) return false;
    Run(handler);
    return true;
}
