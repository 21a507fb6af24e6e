#include "shell/win32/window_frame.h"

namespace {

// Windows 10 (1607) and later; looked up so that the program still starts
// where they are missing.
template <class Function>
Function User32Function(const char* name)
{
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using DpiForWindow = UINT(WINAPI*)(HWND);

}  // namespace

Extent OuterSizeForClient(Extent client, DWORD style, DWORD exStyle, UINT dpi)
{
    RECT rect{0, 0, client.width, client.height};
    static const auto adjustForDpi = User32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return Extent{rect.right - rect.left, rect.bottom - rect.top};
}

UINT WindowDpi(HWND window)
{
    static const auto dpiForWindow = User32Function<DpiForWindow>("GetDpiForWindow");
    if (dpiForWindow)
        return dpiForWindow(window);
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

void SizeWindowForClient(HWND window, Extent client)
{
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    const Extent outer = OuterSizeForClient(client, style, exStyle, WindowDpi(window));
    SetWindowPos(window, nullptr, 0, 0, outer.width, outer.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
