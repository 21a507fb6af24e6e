#pragma once
// The seven messages between the monitors, the jobs and the dialog, and the
// target they are delivered to.

#include <cstdint>

enum : unsigned {
    WM_COMPORTS_CHANGED = 0x8000,
    WM_JOB_STATUS = 0x8001,
    WM_JOB_PROGRESS = 0x8002,
    WM_JLINK_CHANGED = 0x8003,
    WM_BINFILES_CHANGED = 0x8004,
    WM_JOB_MESSAGE = 0x8005,
    WM_MONITOR_FAILED = 0x8006,
    kLastApplicationMessage = WM_MONITOR_FAILED,
};

using WParam = std::uintptr_t;
using LParam = std::intptr_t;

// The dialog as the monitors and jobs see it. Monitors post (the change
// messages carry no data); jobs send, so that the dialog may read the job's
// request record while the worker waits.
class IMessageTarget {
public:
    virtual ~IMessageTarget() = default;
    // Queues the message and returns at once, never blocking the caller.
    virtual void Post(unsigned message, WParam wparam, LParam lparam) = 0;
    // Delivers the message and returns once the receiver has handled it.
    virtual LParam Send(unsigned message, WParam wparam, LParam lparam) = 0;
};
