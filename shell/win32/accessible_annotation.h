#pragma once
// What a screen reader hears of the dialog's controls (app/accessible_text.h)
// laid over the system's own accessible objects of their windows, through
// the system's annotation service. The service keeps what it is given for
// as long as the annotation lives; the windows' annotations go with it.
// COM must be initialised on the thread; without it nothing is annotated.

#include "wizard/page_tables.h"

#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <string>
#include <vector>

// One property given to one control, as handed to the service, and the
// service's answer.
struct GivenProperty {
    HWND control;
    GUID property;
    std::wstring text;  // a text property's value
    LONG number;        // a number property's value (role, state)
    HRESULT answer;
};

class AccessibleAnnotation {
public:
    AccessibleAnnotation();
    ~AccessibleAnnotation();
    AccessibleAnnotation(const AccessibleAnnotation&) = delete;
    AccessibleAnnotation& operator=(const AccessibleAnnotation&) = delete;

    // Gives the control the name, description, role or state its entry has.
    void Annotate(HWND control, const PageEntry& entry);
    // Takes every annotation back, while the windows still exist.
    void ClearAll();

    // Told of each property given. Where the system's accessible objects do
    // not read annotations back (wine), tests read them here.
    std::function<void(const GivenProperty&)> onGiven;

private:
    void GiveText(HWND control, const GUID& property, const std::string& text);
    void GiveNumber(HWND control, const GUID& property, LONG number);

    IAccPropServices* service = nullptr;
    std::vector<HWND> annotated;
};
