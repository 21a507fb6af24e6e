#include "job/job_watcher.h"
#include "job/status_codes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono_literals;

const JobWatcher::TimePoint kStart{};

// One step of a job's life: a status (with whether its failed open is
// hopeless), a look at the clock, or the runner's stop.
struct Step {
    enum Kind { Status, Look, Stop } kind;
    std::int32_t code = 0;
    bool hopeless = false;
    std::chrono::seconds at{};
};

Step Status(std::int32_t code, bool hopeless = false) { return {Step::Status, code, hopeless, {}}; }
Step Look(std::chrono::seconds at) { return {Step::Look, 0, false, at}; }
Step Halt() { return {Step::Stop}; }

struct Case {
    const char* name;
    std::vector<Step> steps;
    JobVerdict verdict;
    bool endsByItself;
};

class JobWatcherTest : public ::testing::TestWithParam<Case> {};

TEST_P(JobWatcherTest, ReachesTheVerdict)
{
    JobWatcher watcher(kStart, 30s);
    for (const Step& step : GetParam().steps) {
        if (step.kind == Step::Status)
            watcher.OnStatus(step.code, step.hopeless);
        else if (step.kind == Step::Look)
            watcher.GiveUpIfSilent(kStart + step.at);
        else
            watcher.Stop();
    }
    EXPECT_EQ(watcher.Verdict(), GetParam().verdict);
    EXPECT_EQ(watcher.EndsByItself(), GetParam().endsByItself);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, JobWatcherTest,
    ::testing::Values(
        Case{"success", {Status(kStatusConnected), Status(kStatusSuccess)}, JobVerdict::Succeeded, true},
        Case{"failure", {Status(kStatusConnected), Status(kStatusEraseError)}, JobVerdict::Failed, true},
        Case{"open_failure_waits", {Status(kStatusOpenFailed), Look(29s)}, JobVerdict::Running, false},
        Case{"hopeless_open_fails", {Status(kStatusOpenFailed, true)}, JobVerdict::Failed, false},
        Case{"silent_board_given_up", {Status(kStatusOpenFailed), Look(31s)}, JobVerdict::GaveUpWaiting, false},
        Case{"waiting_is_silence", {Status(kStatusWaitingForReset), Look(31s)}, JobVerdict::GaveUpWaiting, false},
        Case{"answered_board_is_not_given_up", {Status(kStatusConnected), Look(31s)}, JobVerdict::Running, false},
        Case{"late_success_wins_over_give_up", {Look(31s), Status(kStatusSuccess)}, JobVerdict::Succeeded, true},
        Case{"late_success_wins_over_stop", {Halt(), Status(kStatusSuccess)}, JobVerdict::Succeeded, true},
        Case{"stop_keeps_an_ended_verdict", {Status(kStatusProgrammingFailed), Halt()}, JobVerdict::Failed, true},
        Case{"stopped_job_is_not_given_up", {Halt(), Look(31s)}, JobVerdict::Stopped, false},
        Case{"hopeless_after_stop_keeps_stop", {Halt(), Status(kStatusOpenFailed, true)}, JobVerdict::Stopped, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JobWatcher, WithoutLimitWaitsForEver)
{
    JobWatcher watcher(kStart, std::nullopt);
    EXPECT_FALSE(watcher.GiveUpIfSilent(kStart + 100000h));
    EXPECT_EQ(watcher.Verdict(), JobVerdict::Running);
}

}  // namespace
