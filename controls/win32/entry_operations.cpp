#include "controls/win32/entry_operations.h"

#include "controls/win32/color_label.h"
#include "platform/win32/wide_text.h"

std::string WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return Narrow(text);
}

bool SetTextIfChanged(LoaderControl& entry, std::string_view text) {
    if (WindowText(entry.window) == text) return false;
    // A colored label repaints the ground under it on its own.
    ::SetWindowTextW(entry.window, Widen(text).c_str());
    ::InvalidateRect(entry.window, nullptr, TRUE);
    return true;
}

bool SetLabelColor(LoaderControl& entry, ColorRef color) {
    auto* label = dynamic_cast<ColorLabel*>(ControlObject::FromWindow(entry.window));
    if (!label || label->textColor == color) return false;
    label->textColor = color;
    entry.color = color;
    label->Repaint();
    return true;
}
