#include "controls/win32/color_label.h"

ColorLabel* ColorLabel::Attach(HWND window) { return new ColorLabel(window); }

ColorLabel::ColorLabel(HWND control) : ControlObject(control, Owner::window), window(control) {}

HBRUSH ColorLabel::OnColorRequest(HDC dc) {
    ::SetTextColor(dc, textColor);
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void ColorLabel::Repaint() {
    if (!::IsWindowVisible(window)) return;
    const HWND parent = ::GetParent(window);
    RECT area;
    ::GetWindowRect(window, &area);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&area), 2);
    ::RedrawWindow(parent, &area, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

LRESULT ColorLabel::OnMessage(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
    const LRESULT result = ControlObject::OnMessage(control, message, wparam, lparam);
    if (message == WM_SETTEXT) Repaint();
    return result;
}
