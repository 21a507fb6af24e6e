#include "controls/win32/reflect.h"

#include "controls/win32/control_object.h"

namespace {

bool IsColorRequest(UINT message) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
        return true;
    default:
        return false;
    }
}

}  // namespace

bool ReflectToControl(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    // Both kinds of message name the child in lparam; a menu or accelerator
    // command names none.
    ControlObject* object = ControlObject::FromWindow(reinterpret_cast<HWND>(lparam));
    if (!object) return false;
    if (message == WM_COMMAND) {
        if (!object->OnNotification(HIWORD(wparam))) return false;
        result = 0;
        return true;
    }
    if (!IsColorRequest(message)) return false;
    const HBRUSH brush = object->OnColorRequest(reinterpret_cast<HDC>(wparam));
    if (!brush) return false;
    result = reinterpret_cast<LRESULT>(brush);
    return true;
}
