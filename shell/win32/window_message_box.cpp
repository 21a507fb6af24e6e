#include "shell/win32/window_message_box.h"

#include "platform/win32/wide_text.h"
#include "wizard/page_tables.h"

void CWindowMessageBoxSink::Show(std::string_view text)
{
    const std::wstring caption = Widen(kDialogCaption);
    box(owner.load(), Widen(text).c_str(), caption.c_str(),
        MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}
