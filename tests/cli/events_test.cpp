// --events json: what a test harness reads instead of the prose.

#include "job/status_table.h"
#include "cli/event_stream.h"
#include "sim/sim_process.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream split(text);
    for (std::string line; std::getline(split, line);)
        lines.push_back(line);
    return lines;
}

// Every status of the table comes out as an event with its code, its text
// and where the job stands.
TEST(Events, EveryStatusOfTheTableIsAnEvent)
{
    const std::map<JobOutcome, std::string> outcomes{{JobOutcome::Working, "working"},
                                                     {JobOutcome::Waiting, "waiting"},
                                                     {JobOutcome::Succeeded, "succeeded"},
                                                     {JobOutcome::Failed, "failed"}};
    std::ostringstream out;
    EventStream events(&out);
    for (const StatusRow& row : AssignedStatusRows())
        events.Status("ttyUSB0", row.code);
    const auto lines = Lines(out.str());
    ASSERT_EQ(lines.size(), AssignedStatusRows().size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const StatusRow& row = AssignedStatusRows()[i];
        EXPECT_THAT(lines[i], ::testing::StartsWith("{\"event\":\"status\",\"time\":\"20"));
        EXPECT_THAT(lines[i], HasSubstr("\"port\":\"ttyUSB0\",\"code\":" + std::to_string(row.code) +
                                        ",\"text\":\"" + std::string(row.text) + "\",\"outcome\":\"" +
                                        outcomes.at(row.outcome) + "\"}"));
    }
}

class EventsOfAProcess : public ::testing::Test {
protected:
    // Runs the command with standard output and standard error apart.
    int Run(const std::vector<std::string>& argv)
    {
        return RunCommand("{ " + CommandLine(argv) + " >" + ShellQuote(dir / "out") + " 2>" +
                          ShellQuote(dir / "err") + "; }")
            .exitCode;
    }
    std::vector<std::string> Events() { return Lines(ReadFileText(dir / "out")); }
    std::string Prose() { return ReadFileText(dir / "err"); }

    // Every line of standard output is one event object.
    std::map<std::string, int> CountKinds()
    {
        std::map<std::string, int> kinds;
        for (const std::string& line : Events()) {
            EXPECT_THAT(line, ::testing::MatchesRegex("\\{\"event\":\"[a-z_]+\",\"time\":\"[-0-9T:.]+Z\",\"port\":.*\\}"));
            if (line.starts_with("{\"event\":\""))
                ++kinds[line.substr(10, line.find('"', 10) - 10)];
        }
        return kinds;
    }

    TempDir dir;
    const std::string image = dir.Write("fw.bin", RandomBytes(3000, 5));
};

TEST_F(EventsOfAProcess, FlashWritesEventsOnStandardOutputAndItsProseOnStandardError)
{
    SimProcess sim({"--link", dir / "board", "--fast"});
    ASSERT_TRUE(sim.WaitForPath(dir / "board", std::chrono::seconds(10)));
    ASSERT_EQ(Run({QUILLMARK_FLASH, "flash", image, "--port", dir / "board", "--events", "json"}), 0) << Prose();
    const auto kinds = CountKinds();
    EXPECT_GE(kinds.at("status"), 3);
    EXPECT_GE(kinds.at("progress"), 2);
    EXPECT_EQ(kinds.at("result"), 1);
    EXPECT_THAT(Events().back(), HasSubstr("\"result\":\"programmed\",\"code\":7,"));
    EXPECT_THAT(Prose(), HasSubstr("Firmware update successful!"));
}

TEST_F(EventsOfAProcess, StationWritesAnAllocationAndAResultPerBoard)
{
    SimProcess a({"--link", dir / "a", "--fast"}), b({"--link", dir / "b", "--fast", "--erase-fails"});
    ASSERT_TRUE(a.WaitForPath(dir / "a", std::chrono::seconds(10)));
    ASSERT_TRUE(b.WaitForPath(dir / "b", std::chrono::seconds(10)));
    const std::string pool = dir.Write("pool.csv", "range,0050C20000000010,0050C2000000001F\n");
    ASSERT_EQ(Run({QUILLMARK_FLASH, "station", image, "--port", dir / "a", "--port", dir / "b", "--mac-pool", pool,
                   "--events", "json"}),
              1);
    const auto kinds = CountKinds();
    EXPECT_EQ(kinds.at("allocation"), 2);
    EXPECT_EQ(kinds.at("result"), 2);
    const std::string events = ReadFileText(dir / "out");
    EXPECT_THAT(events, HasSubstr("\"port\":\"" + dir / "a" + "\",\"mac\":\"0050C20000000010\"}"));
    EXPECT_THAT(events, HasSubstr("\"port\":\"" + dir / "b" + "\",\"code\":11,\"text\":\"Error Erasing\",\"outcome\":\"failed\"}"));
    EXPECT_THAT(events, HasSubstr("\"port\":\"" + dir / "b" + "\",\"mac\":\"0050C20000000011\",\"result\":\"failed\""));
    EXPECT_THAT(Prose(), HasSubstr("Boards programmed: 1\nBoards failed: 1\n"));
    EXPECT_THAT(events, Not(HasSubstr("Boards programmed")));
}

struct PoolCase {
    const char* name;
    const char* pool;       // the pool file's text; null: no file
    const char* words;      // the station's reason
    const char* kind;       // in the pool_failure event
    bool fullDisk = false;  // writes to files fail
};

void PrintTo(const PoolCase& c, std::ostream* out) { *out << c.name; }

class StationPoolFailure : public EventsOfAProcess, public ::testing::WithParamInterface<PoolCase> {};

// The station names the real cause: only a used-up range says "used up".
TEST_P(StationPoolFailure, NamesTheRealCause)
{
    const PoolCase& c = GetParam();
    SimProcess sim({"--link", dir / "board", "--fast"});
    ASSERT_TRUE(sim.WaitForPath(dir / "board", std::chrono::seconds(10)));
    const std::string pool = c.pool ? dir.Write("pool.csv", c.pool) : dir / "pool.csv";
    std::vector<std::string> argv{QUILLMARK_FLASH, "station", image, "--port", dir / "board", "--port",
                                  dir / "board2", "--mac-pool", pool, "--events", "json"};
    // A full disk without filling one: the shell's file size limit, its signal ignored.
    const std::string command = (c.fullDisk ? "trap '' XFSZ; ulimit -f 0; exec " : "") + CommandLine(argv);
    // Through a pipe: the limit holds for files only.
    const CommandResult result = RunCommand("sh -c " + ShellQuote(command));
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_THAT(result.output, HasSubstr(c.words));
    EXPECT_THAT(result.output, HasSubstr("No board was touched."));
    if (std::string(c.kind) != "exhausted") {
        EXPECT_THAT(result.output, Not(HasSubstr("used up")));
    }
    EXPECT_THAT(result.output, HasSubstr("\"event\":\"pool_failure\",\"time\":"));
    EXPECT_THAT(result.output, HasSubstr("\"kind\":\"" + std::string(c.kind) + "\""));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StationPoolFailure,
    ::testing::Values(PoolCase{"Exhausted", "range,0050C20000000000,0050C20000000000\n", "is used up: 2 boards need addresses, 1 of the range", "exhausted"},
                      PoolCase{"Missing", nullptr, "cannot be opened (No such file or directory)", "unreadable"},
                      PoolCase{"NotAPool", "0050C20000000000\n", "line 1: a pool begins with its range", "not a pool"},
                      PoolCase{"Unwritable", "range,0050C20000000000,0050C200000000FF\n", "cannot be written (write: File too large)", "unwritable", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
