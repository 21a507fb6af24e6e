#include "platform/sleep.h"

#include <atomic>
#include <thread>

namespace {

std::atomic<std::chrono::microseconds::rep> tickMicroseconds{0};

}  // namespace

void SetSleepTick(std::chrono::microseconds tick) { tickMicroseconds = tick.count(); }

std::chrono::microseconds SleepTime(std::chrono::microseconds time)
{
    const auto tick = tickMicroseconds.load();
    if (tick <= 0 || time.count() <= 0)
        return time;
    return std::chrono::microseconds((time.count() + tick - 1) / tick * tick);
}

void PlatformSleep(std::chrono::microseconds time) { std::this_thread::sleep_for(SleepTime(time)); }
