#pragma once
// Static text in a color of its own on a transparent ground, so that it sits
// on whatever the dialog painted behind it. Radio buttons draw their text the
// same way (controls/win32/custom_radio_button.h).

#include "controls/win32/control_object.h"

class ColorLabel : public ControlObject {
public:
    // The object belongs to the window and goes with it.
    static ColorLabel* Attach(HWND window);

    // Written directly by the owner; takes effect at the next paint, so the
    // owner changes the text or calls Repaint afterwards.
    ColorRef textColor = 0;
    const HWND window;

    HBRUSH OnColorRequest(HDC dc) override;

    // A transparent control draws over what it drew before; only the
    // parent's ground painted anew under it takes the old text away.
    void Repaint();

protected:
    explicit ColorLabel(HWND window);
    LRESULT OnMessage(HWND control, UINT message, WPARAM wparam, LPARAM lparam) override;
};
