#include "app/win32/window_message_box.h"

#include "app/page_tables.h"
#include "platform/win32/wide_text.h"

void CWindowMessageBoxSink::Show(std::string_view text)
{
    const std::wstring caption = Widen(kDialogCaption);
    box(owner.load(), Widen(text).c_str(), caption.c_str(),
        MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}
