#include "station/station_engine.h"
#include "station_fakes.h"
#include "support/temp_dir.h"

#include "job/status_codes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace {

using namespace std::chrono_literals;

constexpr char kGiveUp[] = "ttyUSB0: No board answered within 30 seconds; giving up.";

class StationEngineTest : public ::testing::Test {
protected:
    StationEngine& Engine(bool watching)
    {
        auto fakePool = std::make_unique<FakePool>();
        pool = fakePool.get();
        pool->failures = poolFailures;
        StationSettings settings;
        settings.all = true;
        settings.watching = watching;
        settings.journalPath = temp / "journal";
        StationWiring wiring{&clock, &jobs, &observer, std::move(fakePool), nullptr};
        engine = std::make_unique<StationEngine>(std::move(settings), std::move(wiring), stop);
        return *engine;
    }
    StationEnd Watch()
    {
        auto fakeWatch = std::make_unique<FakePortWatch>();
        ports = fakeWatch.get();
        return Engine(true).Watch(std::move(fakeWatch));
    }
    // The ports there once the station says it watches.
    void PlugAtStart(std::vector<std::string> present)
    {
        observer.onNote = [this, present](const std::string& text) {
            if (text.starts_with("Watching"))
                ports->Set(present);
        };
    }
    PoolState StateOf(std::size_t job) { return pool->states.at(jobs.made.at(job).mac); }
    long Told(const std::string& note) const
    {
        return std::count(observer.notes.begin(), observer.notes.end(), note);
    }

    TempDir temp;
    SteppingClock clock{10s};
    FakeJobs jobs;
    RecordingObserver observer;
    std::atomic<bool> stop{false};
    std::deque<PoolFailure> poolFailures;  // the first allocations fail so
    FakePool* pool = nullptr;
    FakePortWatch* ports = nullptr;
    std::unique_ptr<StationEngine> engine;
};

struct BoardCase {
    const char* name;
    JobScript script;
    BoardResult result;
    bool stoppedByStation;  // not joined: the job would not have ended by itself
    bool givenUp;
};

class BoardVerdict : public StationEngineTest, public ::testing::WithParamInterface<BoardCase> {};

TEST_P(BoardVerdict, IsRecordedAndEndsTheJob)
{
    const BoardCase& board = GetParam();
    jobs.scripts["ttyUSB0"] = {board.script};
    const bool programmed = board.result == BoardResult::Programmed;
    EXPECT_EQ(Engine(false).RunOnce({"ttyUSB0"}),
              programmed ? StationEnd::AllProgrammed : StationEnd::NotAllProgrammed);
    ASSERT_EQ(observer.ended.size(), 1u);
    EXPECT_EQ(observer.ended[0].result, board.result);
    EXPECT_EQ(StateOf(0), programmed ? PoolState::Programmed : PoolState::Failed);
    EXPECT_EQ(jobs.made[0].stopped, board.stoppedByStation);
    EXPECT_EQ(jobs.made[0].joined, !board.stoppedByStation);
    EXPECT_EQ(Told(kGiveUp), board.givenUp);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, BoardVerdict,
    ::testing::Values(
        BoardCase{"programmed", {{kStatusConnected, kStatusSuccess}}, BoardResult::Programmed, false, false},
        BoardCase{"failed", {{kStatusConnected, kStatusEraseError}}, BoardResult::Failed, false, false},
        BoardCase{"not_a_terminal", {{kStatusOpenFailed}, PortOpenFailure::NotASerialPort},
                  BoardResult::Failed, true, false},
        BoardCase{"port_never_opens", {{kStatusOpenFailed}, PortOpenFailure::Busy}, BoardResult::Failed, true, true},
        BoardCase{"board_never_greets", {{kStatusPortOpened, kStatusWaitingForReset}}, BoardResult::Failed, true,
                  true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StationEngineTest, CtrlCStopsRunningBoardsAndKeepsAnEndedVerdict)
{
    jobs.scripts["ttyUSB0"] = {{{kStatusConnected, kStatusSuccess}}};
    jobs.scripts["ttyUSB1"] = {{{kStatusConnected}}};
    observer.onEnd = [this](const Ended&) { stop = true; };
    EXPECT_EQ(Engine(false).RunOnce({"ttyUSB0", "ttyUSB1"}), StationEnd::Interrupted);
    ASSERT_EQ(observer.ended.size(), 2u);
    EXPECT_EQ(observer.ended[0].result, BoardResult::Programmed);
    EXPECT_EQ(observer.ended[1].result, BoardResult::Stopped);
    EXPECT_TRUE(jobs.made[1].stopped);
    EXPECT_EQ(StateOf(0), PoolState::Programmed);
    EXPECT_EQ(StateOf(1), PoolState::Failed);
    EXPECT_EQ(observer.summary.stopped, 1);
}

class PoolFailureKind : public StationEngineTest, public ::testing::WithParamInterface<PoolFailure> {
protected:
    // A server that is away or a pool held by another station may answer soon.
    bool Passing() const { return GetParam() == PoolFailure::Unreachable || GetParam() == PoolFailure::Locked; }
};

TEST_P(PoolFailureKind, TouchesNoGivenBoard)
{
    poolFailures = {GetParam()};
    EXPECT_EQ(Engine(false).RunOnce({"ttyUSB0"}), StationEnd::NotAllProgrammed);
    EXPECT_TRUE(jobs.made.empty());
    EXPECT_EQ(Told("No board was touched."), 1);
}

TEST_P(PoolFailureKind, PausesOrEndsAWatchingStation)
{
    poolFailures = {GetParam(), GetParam()};
    jobs.scripts["ttyUSB0"] = {{{kStatusConnected, kStatusSuccess}}};
    observer.onEnd = [this](const Ended&) { stop = true; };
    PlugAtStart({"ttyUSB0"});
    const StationEnd end = Watch();
    // However often the pool is tried, its reason is told once.
    EXPECT_EQ(Told("pool says " + std::string(PoolFailureName(GetParam()))), 1);
    EXPECT_EQ(observer.poolFailures.size(), Passing() ? 2u : 1u);
    if (Passing()) {
        EXPECT_EQ(end, StationEnd::Interrupted);
        ASSERT_EQ(jobs.made.size(), 1u);
        EXPECT_EQ(StateOf(0), PoolState::Programmed);
    } else {
        EXPECT_EQ(end, StationEnd::NotAllProgrammed);
        EXPECT_TRUE(jobs.made.empty());
        EXPECT_EQ(Told("No more boards are taken; the station ends when the running ones have."), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PoolFailureKind,
                         ::testing::Values(PoolFailure::Exhausted, PoolFailure::Unreadable,
                                           PoolFailure::Locked, PoolFailure::Unwritable,
                                           PoolFailure::NotAPool, PoolFailure::Unreachable),
                         [](const auto& info) {
                             std::string name(PoolFailureName(info.param));
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST_F(StationEngineTest, APortThatAppearsIsTakenAndAServedOneIsNotTakenAgain)
{
    jobs.scripts["ttyUSB0"] = {{{kStatusConnected, kStatusEraseError}}};
    jobs.scripts["ttyUSB1"] = {{{kStatusConnected, kStatusSuccess}}};
    PlugAtStart({"ttyUSB0"});
    observer.onEnd = [this](const Ended& ended) {
        if (ended.port == "ttyUSB0")
            ports->Set({"ttyUSB0", "ttyUSB1"});
        else
            stop = true;
    };
    EXPECT_EQ(Watch(), StationEnd::Interrupted);
    ASSERT_EQ(jobs.made.size(), 2u);
    EXPECT_EQ(jobs.made[1].port, "ttyUSB1");
}

TEST_F(StationEngineTest, ABoardPluggedInWhereOneFailedGetsANewAddress)
{
    jobs.scripts["ttyUSB0"] = {{{kStatusConnected, kStatusEraseError}},
                               {{kStatusConnected, kStatusSuccess}}};
    PlugAtStart({"ttyUSB0"});
    observer.onEnd = [this](const Ended& ended) {
        if (ended.result == BoardResult::Failed)
            ports->Set({});
        else
            stop = true;
    };
    const auto plugAtStart = observer.onNote;
    observer.onNote = [this, plugAtStart](const std::string& text) {
        plugAtStart(text);
        if (text.starts_with("board removed"))
            ports->Set({"ttyUSB0"});
    };
    EXPECT_EQ(Watch(), StationEnd::Interrupted);
    ASSERT_EQ(jobs.made.size(), 2u);
    EXPECT_NE(jobs.made[0].mac, jobs.made[1].mac);
    EXPECT_EQ(StateOf(0), PoolState::Failed);
    EXPECT_EQ(StateOf(1), PoolState::Programmed);
}

}  // namespace
