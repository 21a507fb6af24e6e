// The serial job over a real pseudo-terminal against velkan-board-sim
// running as its own process.

#include "data/target_code.h"
#include "flash/flash_layout.h"
#include "job/status_codes.h"
#include "job_harness.h"
#include "platform/posix/posix_serial_port.h"
#include "sim/sim_process.h"
#include "support/sleep_comparison.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <thread>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace {

constexpr char kMac[] = "0050C2ABCDEF0123";
const Codes kSuccess =
    Steps({kOpened, kGreeted, kSecondStageLoaded, kErasedThenProgramming, {kStatusSuccess}});

class BoardOnPty : public ::testing::Test {
protected:
    // Starts the simulator without line, erase or write time, plus `extra`.
    void Plug(std::vector<std::string> extra = {})
    {
        std::vector<std::string> args{"--link", link, "--flash-out", flashFile, "--fast"};
        args.insert(args.end(), extra.begin(), extra.end());
        sim = std::make_unique<SimProcess>(args);
        ASSERT_TRUE(sim->WaitForPath(link, std::chrono::seconds(10)));
    }

    // Ends the simulator, which writes its flash on the way out.
    std::vector<std::uint8_t> FlashAfterExit()
    {
        EXPECT_EQ(sim->Stop(), 0);
        return ReadFileBytes(flashFile);
    }

    TempDir dir;
    const std::string link = dir / "board";
    const std::string flashFile = dir / "flash.bin";
    std::unique_ptr<SimProcess> sim;
    PosixSerialPortFactory ports;
};

class FullFlash : public BoardOnPty, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(FullFlash, FlashHoldsHeaderImageAndMacByteForByte)
{
    Plug();
    JobHarness harness(ports);
    harness.job.request.portName = link;
    if (GetParam() == 0)
        harness.PrepareEmptyImage(kMac);
    else
        ASSERT_TRUE(harness.Prepare(RandomBytes(GetParam(), 21), kMac));
    harness.RunToEnd();
    EXPECT_THAT(harness.Statuses(), ElementsAreArray(kSuccess));
    EXPECT_EQ(FlashAfterExit(), harness.ExpectedFlash());
}

INSTANTIATE_TEST_SUITE_P(Lengths, FullFlash,
                         ::testing::Values(0, 1, 120, 121, 2063, kMaxImageLength));

TEST_F(BoardOnPty, FixedTimingProgramsTheSameFlash)
{
    Plug();
    JobHarness harness(ports, QuickTiming(false));
    harness.job.request.portName = link;
    ASSERT_TRUE(harness.Prepare(RandomBytes(700, 3), kMac));
    harness.RunToEnd();
    EXPECT_THAT(harness.Statuses(), ElementsAreArray(kSuccess));
    EXPECT_EQ(FlashAfterExit(), harness.ExpectedFlash());
}

struct FailureCase {
    const char* name;
    std::vector<std::string> fault;
    std::int32_t status;
};

class BoardFailureOnPty : public BoardOnPty, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(BoardFailureOnPty, EndsWithTheFailureStatus)
{
    Plug(GetParam().fault);
    JobHarness harness(ports);
    harness.job.request.portName = link;
    ASSERT_TRUE(harness.Prepare(RandomBytes(400, 3), kMac));
    harness.RunToEnd();
    ASSERT_FALSE(harness.Statuses().empty());
    EXPECT_EQ(harness.Statuses().back(), GetParam().status);
    EXPECT_EQ(CountOf(harness.Statuses(), kStatusSuccess), 0);
    const auto flash = FlashAfterExit();
    EXPECT_NE(std::string(flash.begin(), flash.begin() + 4), "OKOK");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BoardFailureOnPty,
    ::testing::Values(FailureCase{"WrongReady", {"--ready-text", "READX"}, kStatusSecondStageLoaderError},
                      FailureCase{"EraseFails", {"--erase-fails"}, kStatusEraseError},
                      FailureCase{"BadAck", {"--bad-ack", "2"}, kStatusProgrammingFailed},
                      FailureCase{"MissingAck", {"--missing-ack", "1"}, kStatusProgrammingFailed},
                      FailureCase{"LateAck", {"--late-ack", "3", "--late-ack-ms", "400"},
                                  kStatusProgrammingFailed},
                      FailureCase{"UnplugAtErase", {"--unplug-at", "erase", "--replug-after-ms", "-1"},
                                  kStatusEraseError}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BoardOnPty, NoPortMeansOpenFailedThenDisconnectedUntilStopped)
{
    JobHarness harness(ports);
    harness.job.request.portName = dir / "no-board";
    ASSERT_TRUE(harness.Prepare(RandomBytes(10, 3), kMac));
    ASSERT_FALSE(harness.RunUntil([](const Codes& s) { return s.size() > 3; },
                                  std::chrono::milliseconds(200)));
    harness.Stop();
    EXPECT_THAT(harness.Statuses(), ElementsAre(kStatusOpeningPort, kStatusOpenFailed, kStatusDisconnected));
    // The reason travels with the report, read when the open failed; a port
    // may still appear.
    ASSERT_EQ(harness.OpenFailures().size(), 1u);
    EXPECT_THAT(harness.OpenFailures()[0].openFailure, HasSubstr("No such serial port"));
    EXPECT_FALSE(harness.OpenFailures()[0].hopeless);
}

// A file will never turn into a terminal: the report says so, and why.
TEST_F(BoardOnPty, AFileAsThePortIsAHopelessOpenFailure)
{
    JobHarness harness(ports);
    harness.job.request.portName = dir.Write("not-a-port", {1, 2, 3});
    ASSERT_TRUE(harness.Prepare(RandomBytes(10, 3), kMac));
    ASSERT_TRUE(harness.RunUntil([](const Codes& s) { return CountOf(s, kStatusOpenFailed) > 0; }));
    harness.Stop();
    ASSERT_FALSE(harness.OpenFailures().empty());
    EXPECT_TRUE(harness.OpenFailures()[0].hopeless);
    EXPECT_THAT(harness.OpenFailures()[0].openFailure, HasSubstr("not a serial port"));
}

TEST_F(BoardOnPty, APortAppearingLaterIsReconnected)
{
    JobHarness harness(ports);
    harness.job.request.portName = link;
    ASSERT_TRUE(harness.Prepare(RandomBytes(300, 3), kMac));
    ASSERT_TRUE(harness.RunUntil([](const Codes& s) { return CountOf(s, kStatusDisconnected) > 0; }));
    Plug();
    harness.RunToEnd();
    const Codes absentThenPlugged{kStatusOpeningPort, kStatusOpenFailed, kStatusDisconnected,
                                  kStatusReconnected};
    EXPECT_THAT(harness.Statuses(),
                ElementsAreArray(Steps({absentThenPlugged, kGreeted, kSecondStageLoaded,
                                        kErasedThenProgramming, {kStatusSuccess}})));
    EXPECT_EQ(FlashAfterExit(), harness.ExpectedFlash());
}

TEST_F(BoardOnPty, UnplugWhilePollingThenReplugProgramsTheBoard)
{
    Plug({"--unplug-at", "poll", "--replug-after-ms", "150"});
    JobHarness harness(ports);
    harness.job.request.portName = link;
    ASSERT_TRUE(harness.Prepare(RandomBytes(3000, 3), kMac));
    harness.RunToEnd();
    const Codes statuses = harness.Statuses();
    ASSERT_GE(statuses.size(), 4u);
    EXPECT_THAT(Codes(statuses.begin(), statuses.begin() + 4),
                ElementsAreArray(Steps({kOpened, {kStatusDisconnected, kStatusReconnected}})));
    EXPECT_EQ(statuses.back(), kStatusSuccess);
    EXPECT_EQ(FlashAfterExit(), harness.ExpectedFlash());
}

TEST_F(BoardOnPty, StopDuringTheEraseWaitEndsTheJobQuietly)
{
    Plug({"--erase-ms", "200"});
    JobHarness harness(ports);
    harness.job.request.portName = link;
    ASSERT_TRUE(harness.Prepare(RandomBytes(3000, 3), kMac));
    ASSERT_TRUE(harness.RunUntil([](const Codes& s) { return CountOf(s, kStatusSecondStageLoaderRunning) > 0; }));
    harness.Stop();
    EXPECT_THAT(harness.Statuses(), ElementsAreArray(Steps({kOpened, kGreeted, kSecondStageLoaded})));
    EXPECT_TRUE(harness.job.writer->HasEnded());
    // The port is free again once the job has ended.
    EXPECT_NE(ports.Open(link), nullptr);
}

// Each job that lets go of the port, done or stopped halfway, leaves a board
// that greets the next one: its user resets it after every update.
TEST_F(BoardOnPty, JobsInARowEachFindTheBoardGreeting)
{
    Plug({"--erase-ms", "100"});
    const auto succeeded = [](const Codes& s) { return CountOf(s, kStatusSuccess) > 0; };
    {
        JobHarness first(ports);
        first.job.request.portName = link;
        ASSERT_TRUE(first.Prepare(RandomBytes(2000, 5), kMac));
        ASSERT_TRUE(first.RunUntil(succeeded));
    }
    {
        JobHarness stopped(ports);
        stopped.job.request.portName = link;
        ASSERT_TRUE(stopped.Prepare(RandomBytes(2000, 6), kMac));
        ASSERT_TRUE(stopped.RunUntil(
            [](const Codes& s) { return CountOf(s, kStatusSecondStageLoaderRunning) > 0; }));
        stopped.Stop();
        ASSERT_EQ(CountOf(stopped.Statuses(), kStatusSuccess), 0);
    }
    JobHarness last(ports);
    last.job.request.portName = link;
    ASSERT_TRUE(last.Prepare(RandomBytes(3000, 7), "0050C2FEDCBA9876"));
    ASSERT_TRUE(last.RunUntil(succeeded)) << ::testing::PrintToString(last.Statuses());
    EXPECT_EQ(FlashAfterExit(), last.ExpectedFlash());
}

// A host killed just after it sent the second-stage loader never reads the
// board's answer, which comes at line speed after it has gone. The answer goes
// with the reset after the session: left waiting, it would reach the next job
// together with the greeting, which the job would then not recognise, and the
// board would wait for a loader that never comes.
TEST_F(BoardOnPty, AnAnswerNoHostReadIsGoneWithTheResetAfterTheSession)
{
    // Reset well after the answer, so that the loader's own bytes are all
    // taken in by then.
    Plug({"--baud", "115200", "--reset-after-session-ms", "800"});
    {
        auto port = ports.Open(link);
        ASSERT_NE(port, nullptr);
        const std::uint8_t poll = 0x00;
        ASSERT_TRUE(port->Write({&poll, 1}));
        std::array<std::uint8_t, 7> greeting{};
        ASSERT_EQ(port->Read(greeting, std::chrono::seconds(5)), greeting.size());
        const std::uint32_t size = kSecondStageLoaderSize;
        const std::array<std::uint8_t, 4> length{static_cast<std::uint8_t>(size),
                                                 static_cast<std::uint8_t>(size >> 8), 0, 0};
        ASSERT_TRUE(port->Write(length) && port->Write(SecondStageLoader()));
    }
    // Past the answer, half a second of line time away, and the reset.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    JobHarness next(ports, SerialTiming::Prompt());  // the real poll window
    next.job.request.portName = link;
    ASSERT_TRUE(next.Prepare(RandomBytes(200, 8), kMac));
    EXPECT_TRUE(next.RunUntil([](const Codes& s) { return CountOf(s, kStatusConnected) > 0; }))
        << ::testing::PrintToString(next.Statuses());
}

TEST_F(BoardOnPty, APortHeldByARunningJobCannotBeOpenedAgain)
{
    Plug({"--never-greet"});
    JobHarness harness(ports);
    harness.job.request.portName = link;
    ASSERT_TRUE(harness.Prepare(RandomBytes(30, 3), kMac));
    ASSERT_TRUE(harness.RunUntil([](const Codes& s) { return CountOf(s, kStatusWaitingForReset) >= 2; }));
    PosixSerialPortFactory other;
    EXPECT_EQ(other.Open(link), nullptr);
    EXPECT_EQ(other.LastOpenError().reason, PortOpenFailure::Busy);
    harness.Stop();
    const Codes statuses = harness.Statuses();
    EXPECT_THAT(Codes(statuses.begin(), statuses.begin() + 2), ElementsAreArray(kOpened));
    EXPECT_EQ(CountOf(statuses, kStatusConnected), 0);
}

struct SimGreetingCase {
    const char* name;
    std::vector<std::string> greeting;
};

class GreetingOnPty : public BoardOnPty, public ::testing::WithParamInterface<SimGreetingCase> {};

// At the real poll pace; a job still polling after 15 s never saw the greeting.
TEST_P(GreetingOnPty, ConnectsAndPrograms)
{
    Plug(GetParam().greeting);
    SerialTiming timing = QuickTiming();
    timing.pollInterval = SerialTiming::Prompt().pollInterval;
    timing.replyReadLimit = std::chrono::seconds(3);  // the loader takes half a second at line speed
    JobHarness harness(ports, timing);
    harness.job.request.portName = link;
    ASSERT_TRUE(harness.Prepare(RandomBytes(500, 3), kMac));
    ASSERT_TRUE(harness.RunUntil([](const Codes& s) { return CountOf(s, kStatusConnected) > 0; },
                                 std::chrono::seconds(15)));
    harness.RunToEnd();
    EXPECT_EQ(harness.Statuses().back(), kStatusSuccess);
    EXPECT_EQ(FlashAfterExit(), harness.ExpectedFlash());
}

INSTANTIATE_TEST_SUITE_P(
    Greetings, GreetingOnPty,
    ::testing::Values(SimGreetingCase{"StrayByte", {"--stray-bytes", "1"}},
                      SimGreetingCase{"InPieces", {"--greeting-pieces", "3", "--piece-gap-ms", "40"}},
                      SimGreetingCase{"AtLineSpeed", {"--stray-bytes", "1", "--baud", "115200"}},
                      // "xCONNEC" is complete long before "T": it must not be judged early.
                      SimGreetingCase{"StrayByteThenSlowPieces5ms",
                                   {"--stray-bytes", "1", "--greeting-pieces", "7", "--piece-gap-ms", "5"}},
                      SimGreetingCase{"StrayByteThenSlowPieces50ms",
                                   {"--stray-bytes", "1", "--greeting-pieces", "7", "--piece-gap-ms", "50"}},
                      // Noise, then a greeting a second later (the board was reset).
                      SimGreetingCase{"TwoNoiseBytesFirst", {"--noise-bytes", "2"}},
                      SimGreetingCase{"NineNoiseBytesFirst", {"--noise-bytes", "9"}},
                      SimGreetingCase{"BurstOfNoiseFirst", {"--noise-bytes", "200"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Windows ends a sleep only on a tick of its timer. With every sleep of the
// platform that coarse, a prompt job on a board at the real line speed takes
// as long as with precise sleeps: nothing on its path sleeps.
TEST_F(BoardOnPty, CoarseSleepsDoNotSlowAPromptJob)
{
    Plug({"--baud", "115200"});
    TempDir images;
    const std::string image = images.Write("fw.bin", RandomBytes(8192, 5));
    SetSleepTick(kCoarseTick);
    EXPECT_EQ(SleepTime(std::chrono::microseconds(1)), kCoarseTick) << "the sleeps are coarse";
    SetSleepTick(std::chrono::microseconds(0));

    const SleepComparison times = CompareSleeps(ports, link, image, 3);
    ASSERT_TRUE(times.allSucceeded);
    std::printf("greeting to success: %.3f s with precise sleeps, %.3f s with coarse ones\n", times.precise,
                times.coarse);
    EXPECT_LE(times.coarse, 1.05 * times.precise);
}

}  // namespace
