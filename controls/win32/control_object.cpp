#include "controls/win32/control_object.h"

#include <commctrl.h>

namespace {

// One subclass identifier for every object; the procedure tells them apart.
constexpr UINT_PTR kSubclassId = 0x514D;  // "QM"

}  // namespace

ControlObject::ControlObject(HWND window, Owner whoDeletes) : attached(window), owner(whoDeletes) {
    ::SetWindowSubclass(window, Procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

ControlObject::~ControlObject() {
    if (attached) ::RemoveWindowSubclass(attached, Procedure, kSubclassId);
}

ControlObject* ControlObject::FromWindow(HWND window) {
    DWORD_PTR data = 0;
    if (!window || !::GetWindowSubclass(window, Procedure, kSubclassId, &data)) return nullptr;
    return reinterpret_cast<ControlObject*>(data);
}

LRESULT ControlObject::OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return ::DefSubclassProc(window, message, wparam, lparam);
}

void ControlObject::Run(const ControlAction& action) {
    if (!action) return;
    const ControlAction copy = action;
    copy();
}

LRESULT CALLBACK ControlObject::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                          UINT_PTR, DWORD_PTR data) {
    auto* object = reinterpret_cast<ControlObject*>(data);
    if (message != WM_NCDESTROY) return object->OnMessage(window, message, wparam, lparam);
    ::RemoveWindowSubclass(window, Procedure, kSubclassId);
    object->attached = nullptr;
    if (object->owner == Owner::window) delete object;
    return ::DefSubclassProc(window, message, wparam, lparam);
}
