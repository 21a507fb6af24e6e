// The close guard's handler, called as the system calls it on its own
// thread: wine sends no close, log-off or shut-down event to a console
// program, and does not end the program after one.

#include "platform/console.h"
#include "platform/win32/console_close.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct Event {
    const char* name;
    DWORD event;
    bool closing;
};
void PrintTo(const Event& e, std::ostream* os) { *os << e.name; }

class CloseHandler : public ::testing::TestWithParam<Event> {};

// After a closing event the handler returns only once the program has
// stopped in order (the guard is gone); other events are Ctrl-C's handler's.
TEST_P(CloseHandler, WaitsForTheOrderlyStopOnlyAfterAClosingEvent)
{
    std::atomic<int> asked{0};
    std::promise<void> askedOnce;
    auto guard = std::make_unique<ConsoleCloseGuard>([&] {
        if (++asked == 1)
            askedOnce.set_value();
    });
    auto handled = std::async(std::launch::async, [] { return OnConsoleClose(GetParam().event); });
    if (!GetParam().closing) {
        EXPECT_EQ(handled.get(), FALSE);
        EXPECT_EQ(asked, 0);
        return;
    }
    ASSERT_EQ(askedOnce.get_future().wait_for(10s), std::future_status::ready);
    EXPECT_EQ(handled.wait_for(200ms), std::future_status::timeout) << "returned before the stop";
    guard.reset();
    ASSERT_EQ(handled.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(handled.get(), TRUE);
    EXPECT_EQ(asked, 1);
}

INSTANTIATE_TEST_SUITE_P(Console, CloseHandler,
                         ::testing::Values(Event{"close", CTRL_CLOSE_EVENT, true},
                                           Event{"logoff", CTRL_LOGOFF_EVENT, true},
                                           Event{"shutdown", CTRL_SHUTDOWN_EVENT, true},
                                           Event{"ctrl_c", CTRL_C_EVENT, false},
                                           Event{"ctrl_break", CTRL_BREAK_EVENT, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A stop that never completes does not keep the handler past the time
// Windows allows; without a guard the event is not this handler's.
TEST(CloseHandler, GivesUpBeforeWindowsEndsTheProgram)
{
    EXPECT_EQ(OnConsoleClose(CTRL_CLOSE_EVENT), FALSE);
    ConsoleCloseGuard guard([] {});
    auto handled = std::async(std::launch::async, [] { return OnConsoleClose(CTRL_CLOSE_EVENT); });
    ASSERT_EQ(handled.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(handled.get(), TRUE);
}

}  // namespace
