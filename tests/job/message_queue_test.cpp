#include "job/message_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(CMessageQueue, PostReturnsAtOnceAndIsHandledInOrderByTheReceiver)
{
    std::vector<unsigned> handled;
    CMessageQueue queue([&](unsigned m, WParam, LParam) {
        handled.push_back(m);
        return LParam{0};
    });
    queue.Post(WM_COMPORTS_CHANGED, 0, 0);
    queue.Post(WM_JLINK_CHANGED, 0, 0);
    EXPECT_TRUE(handled.empty());
    EXPECT_EQ(queue.DispatchPending(), 2);
    EXPECT_EQ(handled, (std::vector<unsigned>{WM_COMPORTS_CHANGED, WM_JLINK_CHANGED}));
}

TEST(CMessageQueue, SendWaitsUntilTheReceiverHasHandledIt)
{
    std::atomic<bool> handledOnReceiver{false};
    const auto receiver = std::this_thread::get_id();
    CMessageQueue queue([&](unsigned, WParam wparam, LParam) {
        handledOnReceiver = std::this_thread::get_id() == receiver;
        return static_cast<LParam>(wparam * 2);
    });
    std::atomic<bool> returned{false};
    LParam result = 0;
    std::thread worker([&] {
        result = queue.Send(WM_JOB_PROGRESS, 21, 0);
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned);
    while (queue.DispatchFor(std::chrono::milliseconds(100)) == 0) {
    }
    worker.join();
    EXPECT_TRUE(handledOnReceiver);
    EXPECT_EQ(result, 42);
}

TEST(CMessageQueue, WakeEndsAWaitWithoutMessages)
{
    CMessageQueue queue([](unsigned, WParam, LParam) { return LParam{0}; });
    std::thread waker([&] { queue.Wake(); });
    EXPECT_EQ(queue.DispatchFor(std::chrono::hours(1)), 0);
    waker.join();
}

}  // namespace
