// quillmark-flash station and pool on a line's database: real station
// processes on simulated boards, against a real PostgreSQL server of the
// tests' own.

#include "../discovery/fake_machine.h"
#include "sim/sim_process.h"
#include "support/child_process.h"
#include "support/expected_flash.h"
#include "station/mac_pool.h"
#include "support/pg_server.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <random>
#include <set>
#include <thread>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class PgStation : public ::testing::Test {
protected:
    SimProcess& Plug(const std::string& name, std::vector<std::string> extra = {"--fast"})
    {
        std::vector<std::string> args{"--link", dir / name, "--flash-out", FlashOf(name)};
        args.insert(args.end(), extra.begin(), extra.end());
        sims.erase(name);
        auto& sim = sims[name] = std::make_unique<SimProcess>(args);
        EXPECT_TRUE(sim->WaitForPath(dir / name, std::chrono::seconds(10)));
        return *sim;
    }

    std::string FlashOf(const std::string& name) const { return dir / (name + ".flash"); }

    void ExpectProgrammed(const std::string& name, const std::string& mac)
    {
        ASSERT_EQ(sims[name]->Stop(), 0);
        EXPECT_EQ(ReadFileBytes(FlashOf(name)), ExpectedSerialFlash(image, mac)) << name << " " << mac;
    }

    // Saves each board's flash as it is before the station runs.
    std::map<std::string, std::vector<std::uint8_t>> FlashBefore(const std::vector<std::string>& names)
    {
        std::map<std::string, std::vector<std::uint8_t>> before;
        for (const auto& name : names) {
            EXPECT_TRUE(sims[name]->SaveFlash(FlashOf(name), std::chrono::seconds(10)));
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            before[name] = ReadFileBytes(FlashOf(name));
        }
        return before;
    }

    std::vector<std::string> Args(const std::vector<std::string>& names, const std::string& pool,
                                  std::vector<std::string> extra = {})
    {
        std::vector<std::string> argv{QUILLMARK_FLASH, "station", imagePath, "--mac-pool", pool,
                                      "--journal", dir / "journal"};
        for (const std::string& name : names) {
            argv.push_back("--port");
            argv.push_back(dir / name);
        }
        argv.insert(argv.end(), extra.begin(), extra.end());
        return argv;
    }

    CommandResult Flash(const std::vector<std::string>& argv) { return RunCommand(CommandLine(argv)); }

    // mac to state, from the database; every address appears once there (its key).
    std::map<std::string, std::string> States()
    {
        std::map<std::string, std::string> states;
        for (const auto& row : db.Query("SELECT mac, state, port FROM mac_addresses"))
            states[row[0]] = row[1];
        return states;
    }

    void Init(const char* first, const char* last)
    {
        const auto result = Flash({QUILLMARK_FLASH, "pool", "init", db.Uri(), "--first", first, "--last", last});
        ASSERT_EQ(result.exitCode, 0) << result.output;
    }

    TempDir dir;
    PgTestDatabase db;
    const std::vector<std::uint8_t> image = RandomBytes(3000, 33);
    const std::string imagePath = dir.Write("fw.bin", image);
    std::map<std::string, std::unique_ptr<SimProcess>> sims;
};

TEST_F(PgStation, ThreeStationsOnOneDatabaseGiveEveryBoardItsOwnAddress)
{
    Init("0050C20000000100", "0050C200000001FF");
    const std::vector<std::vector<std::string>> lines{{"a0", "a1", "a2"}, {"b0", "b1", "b2"}, {"c0", "c1", "c2"}};
    std::vector<std::unique_ptr<ChildProcess>> stations;
    for (const auto& names : lines) {
        for (const auto& name : names)
            Plug(name);
        stations.push_back(std::make_unique<ChildProcess>(Args(names, db.Uri(), {"--report", db.Uri()})));
    }
    for (auto& station : stations)
        EXPECT_EQ(station->Wait(), 0) << station->all;

    const auto rows = db.Query("SELECT port, mac FROM boards WHERE result = 'programmed'");
    ASSERT_EQ(rows.size(), 9u);
    std::set<std::string> macs;
    for (const auto& row : rows) {
        EXPECT_TRUE(macs.insert(row[1]).second) << row[1] << " twice";
        ExpectProgrammed(row[0].substr(row[0].rfind('/') + 1), row[1]);
    }
    EXPECT_EQ(*macs.rbegin(), "0050C20000000108");
    EXPECT_EQ(States().size(), 9u);
    EXPECT_EQ(db.Value("SELECT count(*) FROM mac_addresses WHERE state = 'programmed'"), "9");
    EXPECT_EQ(db.Value("SELECT count(DISTINCT host) FROM boards WHERE host <> ''"), "1");
}

// SIGKILL at random moments, again and again: no address twice, none lost
// from the counter's order, and the range still hands out the next ones.
TEST_F(PgStation, StationsKilledAtRandomMomentsNeverHandOutAnAddressTwice)
{
    Init("0050C20000000000", "0050C200000000FF");
    const std::vector<std::string> names{"k0", "k1"};
    for (const auto& name : names)
        Plug(name, {});
    std::mt19937 random(20261209);
    for (int round = 0; round < 12; ++round) {
        ChildProcess station(Args(names, db.Uri(), {"--report", db.Uri()}));
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 700));
        station.Signal(SIGKILL);
        station.Wait();
    }
    const std::string used = db.Value("SELECT next_address - first_address FROM mac_range");
    // Every address the counter passed has its row: a kill rolls back both or neither.
    EXPECT_EQ(db.Value("SELECT count(*) FROM mac_addresses"), used);
    // Kills came after allocations too, with boards in the middle of their job.
    EXPECT_NE(db.Value("SELECT count(*) FROM mac_addresses WHERE state = 'allocated'"), "0");

    for (const auto& name : names)
        Plug(name);
    const auto result = Flash(Args(names, db.Uri()));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    // The two boards get the two addresses after every one handed out before.
    const std::uint64_t before = std::stoull(used);
    const auto fresh = db.Query("SELECT mac FROM mac_addresses WHERE state = 'programmed' AND mac >= '" +
                                MacValueText(0x0050C20000000000 + before) + "' ORDER BY mac");
    ASSERT_EQ(fresh.size(), 2u);
    EXPECT_EQ(fresh[1][0], MacValueText(0x0050C20000000000 + before + 1));
    EXPECT_EQ(db.Value("SELECT count(*) FROM mac_addresses"), std::to_string(before + 2));
}

// The server goes away while boards are programmed: they finish, their
// outcomes wait in the journal, a station started meanwhile touches no
// board, and once the server is back the next start sends every outcome.
TEST_F(PgStation, TheServerStoppedMidRunLosesNoOutcomeAndStartsNoBoardWithoutAnAddress)
{
    PgPrivateServer server("midrun");
    PgTestDatabase line(server.Cluster());
    ASSERT_EQ(Flash({QUILLMARK_FLASH, "pool", "init", line.Uri(), "--first", "0050C20000000010", "--last",
                     "0050C2000000001F"}).exitCode, 0);
    const std::vector<std::string> names{"m0", "m1"};
    for (const auto& name : names)
        Plug(name, {});  // realistic pace: seconds to program
    ChildProcess station(Args(names, line.Uri(), {"--report", line.Uri()}));
    ASSERT_TRUE(station.Expect("Progress: 20%")) << station.all;
    server.Stop();
    EXPECT_EQ(station.Wait(), 0) << station.all;
    EXPECT_THAT(station.all, HasSubstr("The server is away: the outcome waits in " + dir / "journal"));
    EXPECT_THAT(station.all, HasSubstr("Outcomes waiting for the server: 4\n"));
    ExpectProgrammed("m0", "0050C20000000010");
    ExpectProgrammed("m1", "0050C20000000011");

    Plug("late");
    const auto untouched = FlashBefore({"late"});
    auto result = Flash(Args({"late"}, line.Uri()));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("cannot be reached ("));
    EXPECT_THAT(result.output, HasSubstr("No board was touched."));
    EXPECT_THAT(result.output, Not(HasSubstr("Opening port")));

    server.Start();
    result = Flash(Args({"late"}, line.Uri(), {"--report", line.Uri()}));
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Sent 4 waiting outcomes from " + dir / "journal"));
    EXPECT_EQ(line.Value("SELECT string_agg(mac || ' ' || state, ',' ORDER BY mac) FROM mac_addresses"),
              "0050C20000000010 programmed,0050C20000000011 programmed,0050C20000000012 programmed");
    EXPECT_EQ(line.Value("SELECT count(*) FROM boards WHERE result = 'programmed'"), "3");
    ASSERT_EQ(sims["late"]->Stop(), 0);
    EXPECT_NE(ReadFileBytes(FlashOf("late")), untouched.at("late"));
}

// Watching for boards while the server is away: a board plugged in then
// waits, unstarted, until its address is committed.
TEST_F(PgStation, WatchStartsNoBoardUntilTheServerIsBack)
{
    PgPrivateServer server("watch");
    PgTestDatabase line(server.Cluster());
    ASSERT_EQ(Flash({QUILLMARK_FLASH, "pool", "init", line.Uri(), "--first", "0050C20000000010", "--last",
                     "0050C2000000001F"}).exitCode, 0);
    FakeMachine machine;
    ChildProcess station({QUILLMARK_FLASH, "station", imagePath, "--all", "--watch", "--mac-pool", line.Uri(),
                          "--journal", dir / "journal", "--sysfs-root", machine.Sysfs(), "--dev-root",
                          machine.Dev()});
    ASSERT_TRUE(station.Expect("Watching for boards")) << station.all;
    server.Stop();
    machine.AddSysfsOnlySerial("ttyUSB0");
    sims["w"] = std::make_unique<SimProcess>(
        std::vector<std::string>{"--link", machine.Dev() + "/ttyUSB0", "--flash-out", FlashOf("w"), "--fast"});
    ASSERT_TRUE(station.Expect("No board is started without an address")) << station.all;
    EXPECT_THAT(station.all, HasSubstr("cannot be reached ("));
    EXPECT_THAT(station.all, Not(HasSubstr("ttyUSB0: MAC")));

    server.Start();
    ASSERT_TRUE(station.Expect("ttyUSB0: programmed in")) << station.all;
    station.Signal(SIGINT);
    EXPECT_EQ(station.Wait(), 130) << station.all;
    EXPECT_EQ(line.Value("SELECT mac || ' ' || state FROM mac_addresses"), "0050C20000000010 programmed");
    ExpectProgrammed("w", "0050C20000000010");
}

// A database that cannot be reached or cannot give every board an address
// stops the station before any board is touched, and says which it was.
TEST_F(PgStation, RefusesBeforeAnyBoardIsTouched)
{
    Init("0050C20000000000", "0050C20000000001");
    for (const char* name : {"r0", "r1", "r2"})
        Plug(name);
    const auto before = FlashBefore({"r0", "r1", "r2"});
    const std::string nowhere = "postgresql:///line?host=" + dir / "no-server" + "&connect_timeout=2";
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{
        {nowhere, "cannot be reached (", "unreachable"},
        {db.Uri(), "is used up: 3 boards need addresses, 2 of the range 0050C20000000000 to "
                   "0050C20000000001 left.", "exhausted"},
    };
    for (const auto& [pool, words, kind] : cases) {
        const auto result = Flash(Args({"r0", "r1", "r2"}, pool, {"--events", "json"}));
        EXPECT_EQ(result.exitCode, 1) << result.output;
        EXPECT_THAT(result.output, HasSubstr(words));
        EXPECT_THAT(result.output, HasSubstr("\"event\":\"pool_failure\""));
        EXPECT_THAT(result.output, HasSubstr("\"kind\":\"" + kind + "\""));
        EXPECT_THAT(result.output, HasSubstr("No board was touched."));
        EXPECT_THAT(result.output, Not(HasSubstr("\"event\":\"status\"")));
    }
    EXPECT_EQ(db.Value("SELECT next_address - first_address FROM mac_range"), "0");
    for (const auto& [name, flash] : before) {
        ASSERT_EQ(sims[name]->Stop(), 0);
        EXPECT_EQ(ReadFileBytes(FlashOf(name)), flash) << name;
    }
}

// pool status says the same of a pool file and of a database that went
// through the same boards.
TEST_F(PgStation, PoolStatusTellsBothKindsOfPoolAlike)
{
    const std::string file = dir / "pool.csv";
    for (const std::string& pool : {file, db.Uri()}) {
        auto result = Flash({QUILLMARK_FLASH, "pool", "init", pool, "--first", "0050C20000000010", "--last",
                             "0050C2000000001F"});
        ASSERT_EQ(result.exitCode, 0) << result.output;
        result = Flash({QUILLMARK_FLASH, "pool", "init", pool, "--first", "0050C20000000010", "--last",
                        "0050C2000000001F"});
        EXPECT_EQ(result.exitCode, 1) << "a second init must not reset a range";
        Plug("good");
        Plug("bad", {"--fast", "--erase-fails"});
        EXPECT_EQ(Flash(Args({"good", "bad"}, pool)).exitCode, 1);
        result = Flash({QUILLMARK_FLASH, "pool", "status", pool});
        ASSERT_EQ(result.exitCode, 0) << result.output;
        EXPECT_THAT(result.output, HasSubstr("Range: 0050C20000000010 to 0050C2000000001F\nUsed: 2\n"
                                             "Failed: 1\nLeft: 14\nLast handed out:\n  0050C20000000011 "));
        EXPECT_THAT(result.output, HasSubstr("0050C20000000011 failed "));
    }
    const auto result = Flash({QUILLMARK_FLASH, "pool", "status", dir / "none.csv"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("cannot be opened (No such file or directory)"));
}


}  // namespace
