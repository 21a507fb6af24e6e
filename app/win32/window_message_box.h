#pragma once
// The application's message box in the Windows window: the system's box with
// the dialog as owner, the application's title as caption, an OK button and
// the exclamation icon. Shown on the calling thread, a worker's included: the
// system keeps it modal to the dialog all the same.

#include "platform/message_box.h"

#include <windows.h>

#include <atomic>

class CWindowMessageBoxSink final : public IMessageBoxSink {
public:
    void SetOwner(HWND window) { owner = window; }
    void Show(std::string_view text) override;

private:
    std::atomic<HWND> owner = nullptr;
};
