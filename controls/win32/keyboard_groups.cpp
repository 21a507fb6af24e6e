#include "controls/win32/keyboard_groups.h"

namespace {

void SetStyleBit(HWND window, LONG_PTR bit, bool on)
{
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR wanted = on ? (style | bit) : (style & ~bit);
    if (wanted != style) ::SetWindowLongPtrW(window, GWL_STYLE, wanted);
}

}  // namespace

void GroupForKeyboard(const PageTable& table, const std::function<HWND(Control)>& windowOf)
{
    bool afterRadio = false;
    for (const PageEntry& entry : table.entries) {
        const bool radio = entry.kind == ControlKind::radio;
        const HWND window = windowOf(entry.control);
        SetStyleBit(window, WS_GROUP, !(radio && afterRadio));
        if (radio)
            SetStyleBit(window, WS_TABSTOP,
                        ::SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED);
        afterRadio = radio;
    }
}
