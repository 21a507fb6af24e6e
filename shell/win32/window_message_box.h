#pragma once
// The application's message box in the Windows window: the system's box with
// the dialog as owner, the application's title as caption, an OK button and
// the exclamation icon. Shown on the calling thread, a worker's included: the
// system keeps it modal to the dialog all the same.

#include "platform/message_box.h"

#include <windows.h>

#include <atomic>
#include <functional>

class CWindowMessageBoxSink final : public IMessageBoxSink {
public:
    // The system's box, or one that a test puts in its place.
    using BoxFunction = std::function<int(HWND owner, const wchar_t* text, const wchar_t* caption,
                                          UINT type)>;

    explicit CWindowMessageBoxSink(BoxFunction box = MessageBoxW) : box(std::move(box)) {}

    void SetOwner(HWND window) { owner = window; }
    void Show(std::string_view text) override;

private:
    const BoxFunction box;
    std::atomic<HWND> owner = nullptr;
};
