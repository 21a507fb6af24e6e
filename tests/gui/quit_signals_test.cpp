// Ctrl+C or SIGTERM ends the window through its event loop, so its
// destructors run and the demo's board and folder go with it.

#include "shell/qt/quit_signals.h"

#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {

bool PumpUntil(const bool& done)
{
    for (int round = 0; round < 2000 && !done; ++round)
        QTest::qWait(5);
    return done;
}

TEST(QuitOnSignals, EachQuitSignalRunsTheQuitActionInTheEventLoop)
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        bool quitRan = false;
        QuitOnSignals quit([&] { quitRan = true; });
        ::raise(signal);
        // The handler only leaves a note; the action waits for the loop.
        EXPECT_FALSE(quitRan);
        EXPECT_TRUE(PumpUntil(quitRan)) << "signal " << signal;
    }
}

}  // namespace
