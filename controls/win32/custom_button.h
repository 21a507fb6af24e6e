#pragma once
// A push button that runs its action itself when clicked; the dialog sees
// no command for it.

#include "controls/win32/control_object.h"

class CustomButton : public ControlObject {
public:
    // The object belongs to the window and goes with it.
    static CustomButton* Attach(HWND window, ControlAction action);

    ControlAction handler;

    bool OnNotification(WORD code) override;

private:
    CustomButton(HWND window, ControlAction action);
};
