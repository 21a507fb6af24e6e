#include "controls/win32/param_edit.h"

#include "platform/win32/wide_text.h"
#include "wizard/box_row.h"
#include "wizard/mac_paste.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace {

// A fixed box reads as one the user cannot change, yet its digits stay
// black on a light ground.
constexpr COLORREF kFixedBoxBackground = RGB(0xE3, 0xE3, 0xE3);

constexpr wchar_t kPasteKey = 0x16;  // Ctrl+V as a character

bool IsHexDigit(unsigned code) {
    return (code >= '0' && code <= '9') || (code >= 'a' && code <= 'f') ||
           (code >= 'A' && code <= 'F');
}

char Upper(char character) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
}

std::string ClipboardText(HWND owner) {
    if (!::OpenClipboard(owner)) return {};
    std::string text;
    if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* characters = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = Narrow(characters);
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

}  // namespace

CParamEdit::CParamEdit(HWND edit) : ControlObject(edit, Owner::holder), window(edit) {}

CParamEdit::~CParamEdit() = default;

CParamEdit* CParamEdit::FromWindow(HWND window) {
    return dynamic_cast<CParamEdit*>(ControlObject::FromWindow(window));
}

bool CParamEdit::ReadOnly() const {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & ES_READONLY) != 0;
}

std::string CParamEdit::Text() const {
    wchar_t text[16] = {};
    ::GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return Narrow(text);
}

void CParamEdit::SetText(const std::string& text, int caret) {
    ::SetWindowTextW(window, Widen(text).c_str());
    PlaceCaret(caret);
}

// Full with a bare caret: the edit control would refuse another character.
bool CParamEdit::Full() const {
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    const LRESULT limit = ::SendMessageW(window, EM_GETLIMITTEXT, 0, 0);
    return start == end && ::GetWindowTextLengthW(window) >= limit;
}

void CParamEdit::PlaceCaret(int caret) {
    ::SendMessageW(window, EM_SETSEL, static_cast<WPARAM>(caret), caret);
    ::SendMessageW(window, EM_SCROLLCARET, 0, 0);
}

bool CParamEdit::OnNotification(WORD code) {
    if (code == EN_MAXTEXT) {
        // Typing never overflows a box (OnChar places what does not fit);
        // a paste too long for it is cut as the edit control cuts it.
        return true;
    }
    if (code == EN_KILLFOCUS) {
        OnKillFocus();
        return true;
    }
    return false;
}

HBRUSH CParamEdit::OnColorRequest(HDC dc) {
    if (!ReadOnly()) return nullptr;
    static const HBRUSH ground = ::CreateSolidBrush(kFixedBoxBackground);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, kFixedBoxBackground);
    return ground;
}

LRESULT CParamEdit::OnMessage(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CHAR:
        return OnChar(wparam, lparam);
    case WM_PASTE:
        Paste();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        return OnMouse(message, wparam, lparam);
    default:
        return ControlObject::OnMessage(control, message, wparam, lparam);
    }
}

// Only hexadecimal digits and control characters (Backspace, the clipboard
// keys) reach the edit control, which shows letters in upper case itself.
// A character reaching a box that cannot take it makes the system beep, so a
// full box, and a fixed one, never gets one: the box places the digit itself.
LRESULT CParamEdit::OnChar(WPARAM character, LPARAM lparam) {
    // The edit control sends no WM_PASTE for Ctrl+V in a read-only box, yet a
    // whole address pasted there fills the row all the same.
    if (character == kPasteKey) {
        Paste();
        return 0;
    }
    if (character >= 0x20) {
        if (!IsHexDigit(static_cast<unsigned>(character)) || ReadOnly()) return 0;
        lastChar = static_cast<char>(character);
        if (Full()) {
            OnMaxText();
            return 0;
        }
    }
    return ControlObject::OnMessage(window, WM_CHAR, character, lparam);
}

// Typing into a box that was clicked into replaces both digits, as it does
// after Tab; a click into the box that already has the focus places the
// caret as usual.
LRESULT CParamEdit::OnMouse(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_MOUSEMOVE && keepClickSelection) return 0;
    if (message == WM_LBUTTONUP) keepClickSelection = false;
    const bool focusedBefore = ::GetFocus() == window;
    const LRESULT result = ControlObject::OnMessage(window, message, wparam, lparam);
    if (message == WM_LBUTTONDOWN && !focusedBefore && ::GetFocus() == window) {
        ::SendMessageW(window, EM_SETSEL, 0, -1);
        keepClickSelection = true;
    }
    return result;
}

// The character does not fit: overwrite the digit at the caret, or carry on
// into the next box when the caret stands at the end.
void CParamEdit::OnMaxText() {
    DWORD caret = 0;
    ::SendMessageW(window, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    const std::string current = Text();
    const std::string typed(1, Upper(lastChar));
    const std::string lastDigit = current.empty() ? "" : current.substr(current.size() - 1);
    if (caret == 0) {
        SetText(typed + lastDigit, 1);
    } else if (caret == 1) {
        SetText(current.substr(0, 1) + typed, 2);
    } else if (next) {
        // The dialog moves the focus as Tab does, so that its own idea of
        // the focused control stays right.
        ::SendMessageW(::GetParent(window), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next->window), TRUE);
        const std::string following = next->Text();
        next->SetText(typed + (following.empty() ? "" : following.substr(following.size() - 1)), 1);
    }
}

void CParamEdit::OnKillFocus() {
    const std::string current = Text();
    if (current.empty()) {
        ::SetWindowTextW(window, L"00");
    } else if (current.size() == 1) {
        ::SetWindowTextW(window, Widen("0" + current).c_str());
    }
}

void CParamEdit::Paste() {
    if (TakeAddress(ClipboardText(window))) return;
    if (!ReadOnly()) ControlObject::OnMessage(window, WM_PASTE, 0, 0);
}

// Returns whether the text was a whole address (taken or refused).
bool CParamEdit::TakeAddress(const std::string& text) {
    const std::vector<CParamEdit*> row = Row();
    std::vector<MacRowBox> boxes;
    for (const CParamEdit* box : row) boxes.push_back({box->Text(), box->ReadOnly()});
    const MacRowPaste paste = PasteIntoMacRow(text, boxes);
    if (paste.outcome == MacRowPaste::Outcome::notAnAddress) return false;
    if (paste.outcome == MacRowPaste::Outcome::refused) {
        ::MessageBeep(MB_ICONWARNING);
        return true;
    }
    for (std::size_t k = 0; k < row.size(); ++k) {
        if (!row[k]->ReadOnly()) ::SetWindowTextW(row[k]->window, Widen(paste.texts[k]).c_str());
    }
    return true;
}

std::vector<CParamEdit*> CParamEdit::Row() {
    std::vector<CParamEdit*> siblings;
    for (HWND child = ::GetWindow(::GetParent(window), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (CParamEdit* box = FromWindow(child)) siblings.push_back(box);
    }
    return RowOfBox(this, siblings, [](const CParamEdit* box) { return box->next; });
}
