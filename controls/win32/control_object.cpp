#include "controls/win32/control_object.h"

#include <commctrl.h>

namespace {

// One subclass identifier for every object; the procedure tells them apart.
constexpr UINT_PTR kSubclassId = 0x514D;  // "QM"
// Where the window keeps its object for whoever holds only the window.
constexpr wchar_t kObjectProperty[] = L"Quillmark.ControlObject";

}  // namespace

ControlObject::ControlObject(HWND window, Owner whoDeletes) : attached(window), owner(whoDeletes) {
    ::SetPropW(window, kObjectProperty, this);
    ::SetWindowSubclass(window, Procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

ControlObject::~ControlObject() {
    if (attached) Detach(attached);
}

void ControlObject::Detach(HWND window) {
    ::RemoveWindowSubclass(window, Procedure, kSubclassId);
    ::RemovePropW(window, kObjectProperty);
    attached = nullptr;
}

ControlObject* ControlObject::FromWindow(HWND window) {
    if (!window) return nullptr;
    return static_cast<ControlObject*>(::GetPropW(window, kObjectProperty));
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
    object->Detach(window);
    if (object->owner == Owner::window) delete object;
    return ::DefSubclassProc(window, message, wparam, lparam);
}
