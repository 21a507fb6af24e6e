#pragma once
// A radio button whose text is drawn like a ColorLabel's, and which runs its
// action when the user picks it. BM_SETCHECK from code runs nothing.

#include "controls/win32/color_label.h"

class CCustomRadioButton : public ColorLabel {
public:
    // The object belongs to the window and goes with it.
    static CCustomRadioButton* Attach(HWND window, ControlAction action);

    ControlAction handler;

    bool OnNotification(WORD code) override;

private:
    CCustomRadioButton(HWND window, ControlAction action);
};
