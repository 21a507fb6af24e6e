#pragma once
// A box for one byte of the MAC address, two hexadecimal digits: a standard
// edit control, subclassed. A row of them, each linked to its right-hand
// neighbour, takes all sixteen digits in one go: a full box overwrites, and
// typing at its end carries on into the next box. Leaving a box fills it up
// to two digits. A click into a box from elsewhere selects both digits. A
// whole address pasted into any box of a row fills the row.

#include "controls/win32/control_object.h"

#include <string>
#include <vector>

#include <windows.h>

class CParamEdit : public ControlObject {
public:
    // Subclasses `window`, an edit control, for the object's lifetime.
    explicit CParamEdit(HWND window);
    ~CParamEdit() override;
    CParamEdit(const CParamEdit&) = delete;
    CParamEdit& operator=(const CParamEdit&) = delete;

    // The box behind a window; null for any other window.
    static CParamEdit* FromWindow(HWND window);

    const HWND window;
    // The last character the filter let through, as typed.
    char lastChar = 0;
    // The box to the right; null for the last box of a row.
    CParamEdit* next = nullptr;

    // Places a typed character that does not fit the full box.
    void OnMaxText();
    // The edit notification, reflected from the parent.
    void OnKillFocus();

    bool OnNotification(WORD code) override;
    // A read-only box keeps black digits on a light grey ground.
    HBRUSH OnColorRequest(HDC dc) override;

    // Pastes the clipboard as Ctrl+V does: a whole address fills the row,
    // anything else goes into this box as the edit control pastes it.
    void Paste();

protected:
    LRESULT OnMessage(HWND control, UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    LRESULT OnChar(WPARAM character, LPARAM lparam);
    LRESULT OnMouse(UINT message, WPARAM wparam, LPARAM lparam);
    bool TakeAddress(const std::string& text);
    std::vector<CParamEdit*> Row();
    bool ReadOnly() const;
    bool Full() const;
    std::string Text() const;
    void SetText(const std::string& text, int caret);
    void PlaceCaret(int caret);

    // The press that brought the focus selected the box; the drag that may
    // follow it must not shrink that selection.
    bool keepClickSelection = false;
};
