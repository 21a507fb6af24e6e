#pragma once
// Delivers the five messages to the dialog as window messages: the monitors'
// posts go into the window's queue, a job's send blocks the worker until the
// dialog's thread has handled it.

#include "job/messages.h"

#include <windows.h>

#include <atomic>

class CWindowMessageTarget final : public IMessageTarget {
public:
    // Messages go nowhere until a window is attached; the dialog attaches
    // itself before it starts anything that reports to it.
    void Attach(HWND window) { target = window; }

    void Post(unsigned message, WParam wparam, LParam lparam) override;
    LParam Send(unsigned message, WParam wparam, LParam lparam) override;

    // For the dialog's thread while it waits for a worker: handles the
    // messages sent to its windows during the next `milliseconds` (a worker's
    // pending send included). Posted messages and the user's input stay
    // queued, so no new action starts in the middle of the wait.
    static void DeliverPending(int milliseconds);

private:
    std::atomic<HWND> target = nullptr;
};
