#pragma once
// A box for one byte of the MAC address, two hexadecimal digits: a standard
// edit control, subclassed. A row of them, each linked to its right-hand
// neighbour, takes all sixteen digits in one go: a full box overwrites, and
// typing at its end carries on into the next box. Leaving a box fills it up
// to two digits. A click into a box from elsewhere selects both digits. A
// whole address pasted into any box of a row fills the row.

#include <windows.h>

class CParamEdit {
public:
    // Subclasses `window`, an edit control, for the object's lifetime.
    explicit CParamEdit(HWND window);
    ~CParamEdit();
    CParamEdit(const CParamEdit&) = delete;
    CParamEdit& operator=(const CParamEdit&) = delete;

    // The box behind a window; null for any other window.
    static CParamEdit* FromWindow(HWND window);

    const HWND window;
    // The last character the filter let through, as typed.
    char lastChar = 0;
    // The box to the right; null for the last box of a row.
    CParamEdit* next = nullptr;

    // The edit notifications, reflected from the parent.
    void OnMaxText();
    void OnKillFocus();
};
