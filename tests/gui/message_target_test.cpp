// A worker's send is a blocking call: the worker goes on only once the
// window's thread has handled the message, with the handler's answer.

#include "shell/qt/qt_message_target.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

TEST(QtMessageTarget, AWorkersSendWaitsForTheWindowsThreadAndGetsItsAnswer)
{
    std::atomic<int> handled{0};
    QtMessageTarget target([&](unsigned message, WParam wparam, LParam lparam) -> LParam {
        handled = static_cast<int>(message);
        return static_cast<LParam>(wparam) + lparam;
    });
    std::atomic<bool> returned{false};
    LParam answer = 0;
    std::thread worker([&] {
        answer = target.Send(7, 40, 2);
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(returned) << "the send returned before its message was handled";
    EXPECT_EQ(handled, 0);
    while (!returned)
        QCoreApplication::sendPostedEvents();
    worker.join();
    EXPECT_EQ(handled, 7);
    EXPECT_EQ(answer, 42);
}

}  // namespace
