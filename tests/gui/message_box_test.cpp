// The application's message box in the window: a worker waiting for its box
// never holds up a window that is closing.

#include "shell/qt/qt_message_box.h"

#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(QtMessageBoxSink, CloseLetsGoOfAWorkerWhoseBoxWasNotShown)
{
    QtMessageBoxSink sink;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        sink.Show("Error in poll (test).\n");
        returned = true;
    });
    // The window's thread does not deliver the box: it is busy closing.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned);
    sink.Close();
    worker.join();
    EXPECT_TRUE(returned);
    // The box's queued delivery, when it comes, shows nothing any more.
    QTest::qWait(10);
}

TEST(QtMessageBoxSink, AfterCloseBoxesGoToStandardError)
{
    QtMessageBoxSink sink;
    sink.Close();
    testing::internal::CaptureStderr();
    sink.Show("Unable to open Flash File!");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unable to open Flash File!\n");
}

}  // namespace
