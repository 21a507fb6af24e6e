#pragma once
// A drop-down list that runs its action when the user picks an entry.
// CB_SETCURSEL and refills from code run nothing: Windows reports only the
// user's choices as CBN_SELCHANGE.

#include "controls/win32/control_object.h"

class CustomCombo : public ControlObject {
public:
    // The object belongs to the window and goes with it.
    static CustomCombo* Attach(HWND window, ControlAction action);

    ControlAction handler;

    bool OnNotification(WORD code) override;

private:
    CustomCombo(HWND window, ControlAction action);
};
