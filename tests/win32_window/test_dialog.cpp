#include "test_dialog.h"

#include "controls/win32/reflect.h"
#include "platform/win32/wide_text.h"

#include <cstring>

namespace {

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        return TRUE;
    }
    LRESULT result = 0;
    if (ReflectToControl(message, wparam, lparam, result))
        return message == WM_COMMAND ? TRUE : static_cast<INT_PTR>(result);
    if (message == WM_CTLCOLORDLG) return reinterpret_cast<INT_PTR>(::GetStockObject(WHITE_BRUSH));
    auto* self = reinterpret_cast<TestDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_COMMAND && self && lparam) {
        self->commands.push_back(HIWORD(wparam));
        return TRUE;
    }
    return FALSE;
}

HWND CreateDialogWindow(DWORD style, HWND parent, DLGPROC procedure, LPARAM data) {
    struct Template {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } dialogTemplate{};
    dialogTemplate.header.style = style;
    const HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), &dialogTemplate.header,
                                                     parent, procedure, data);
    ::SetWindowPos(dialog, HWND_TOP, 0, 0, 640, 540, SWP_SHOWWINDOW);
    ::UpdateWindow(dialog);
    return dialog;
}

INT_PTR CALLBACK HostProcedure(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// Wine waits two seconds for a window manager each time a top-level window
// it showed goes away; the dialogs live inside one top-level window that
// stays until the program ends.
HWND Host() {
    static const HWND host = CreateDialogWindow(WS_POPUP, nullptr, HostProcedure, 0);
    return host;
}

}  // namespace

TestDialog::TestDialog()
    : window(CreateDialogWindow(WS_CHILD, Host(), Procedure, reinterpret_cast<LPARAM>(this))) {}

TestDialog::~TestDialog() { ::DestroyWindow(window); }

void Place(HWND control, int x, int y, int width, int height) {
    ::SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(control, SW_SHOWNA);
}

void Type(std::string_view keys) {
    for (const char key : keys) ::SendMessageW(::GetFocus(), WM_CHAR, static_cast<unsigned char>(key), 1);
}

void SetClipboard(HWND owner, std::string_view text) {
    const std::wstring wide = Widen(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    const HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(::GlobalLock(data), wide.c_str(), bytes);
    ::GlobalUnlock(data);
    ::OpenClipboard(owner);
    ::EmptyClipboard();
    ::SetClipboardData(CF_UNICODETEXT, data);
    ::CloseClipboard();
}

std::pair<int, int> Selection(HWND edit) {
    DWORD start = 0, end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}
