#pragma once
// The object behind one of the wizard's child windows. It sees the window's
// own messages through a subclass, and the notifications and color requests
// that Windows sends to the parent once the dialog reflects them
// (controls/win32/reflect.h). A window property leads from the window to
// its object, so no table of windows is kept.

#include "controls/win32/loader_control.h"

#include <windows.h>

class ControlObject {
public:
    ControlObject(const ControlObject&) = delete;
    ControlObject& operator=(const ControlObject&) = delete;

    // The object behind a window; null for any window without one.
    static ControlObject* FromWindow(HWND window);

    // A WM_COMMAND notification from the control; true when it was handled
    // here, and the dialog then sees nothing of it.
    virtual bool OnNotification(WORD code) {
        (void)code;
        return false;
    }
    // A WM_CTLCOLOR* request for the control: the brush to answer with, or
    // null to leave the request to the dialog.
    virtual HBRUSH OnColorRequest(HDC dc) {
        (void)dc;
        return nullptr;
    }

protected:
    // Who deletes the object: the window when it is destroyed, or whoever
    // holds it (the window then merely lets go of it).
    enum class Owner { window, holder };

    ControlObject(HWND window, Owner owner);
    virtual ~ControlObject();

    // The window's messages; the default passes them on to the control.
    virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    // Runs a copy, so that an action that changes its control cannot pull
    // the running function from under itself.
    static void Run(const ControlAction& action);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                      UINT_PTR id, DWORD_PTR data);
    void Detach(HWND window);

    HWND attached;  // null once the window is gone
    const Owner owner;
};
