#include "shell/win32/accessible_annotation.h"

#include "platform/win32/wide_text.h"
#include "wizard/accessible_text.h"

#include <iterator>

namespace {

const MSAAPROPID kGivenProperties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION, PROPID_ACC_ROLE,
                                       PROPID_ACC_STATE};

}  // namespace

AccessibleAnnotation::AccessibleAnnotation()
{
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&service))))
        service = nullptr;
}

AccessibleAnnotation::~AccessibleAnnotation()
{
    ClearAll();
    if (service)
        service->Release();
}

void AccessibleAnnotation::Annotate(HWND control, const PageEntry& entry)
{
    const AccessibleText text = AccessibleTextOf(entry);
    annotated.push_back(control);
    if (!text.name.empty())
        GiveText(control, PROPID_ACC_NAME, text.name);
    if (!text.description.empty())
        GiveText(control, PROPID_ACC_DESCRIPTION, text.description);
    // A banner is left out of what a reader walks; a picture that tells
    // something is read as one.
    if (text.decoration)
        GiveNumber(control, PROPID_ACC_STATE, STATE_SYSTEM_INVISIBLE);
    else if (entry.kind == ControlKind::picture)
        GiveNumber(control, PROPID_ACC_ROLE, ROLE_SYSTEM_GRAPHIC);
}

// The service holds the windows by handle: a handle used again by a later
// window would otherwise carry these annotations.
void AccessibleAnnotation::ClearAll()
{
    for (HWND control : annotated)
        if (service && IsWindow(control))
            service->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, kGivenProperties,
                                    static_cast<int>(std::size(kGivenProperties)));
    annotated.clear();
}

void AccessibleAnnotation::GiveText(HWND control, const GUID& property, const std::string& text)
{
    const std::wstring wide = Widen(text);
    const HRESULT answer =
        service ? service->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, property, wide.c_str())
                : E_POINTER;
    if (onGiven)
        onGiven(GivenProperty{control, property, wide, 0, answer});
}

void AccessibleAnnotation::GiveNumber(HWND control, const GUID& property, LONG number)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = number;
    const HRESULT answer =
        service ? service->SetHwndProp(control, OBJID_CLIENT, CHILDID_SELF, property, value)
                : E_POINTER;
    if (onGiven)
        onGiven(GivenProperty{control, property, L"", number, answer});
}
