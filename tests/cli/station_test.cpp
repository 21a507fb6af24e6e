// quillmark-flash station, run as a real process against several
// velkan-board-sim boards on pseudo-terminals, with a real pool file.

#include "../discovery/fake_machine.h"
#include "sim/sim_process.h"
#include "station/mac_pool.h"
#include "support/child_process.h"
#include "support/expected_flash.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// The pool's lines for one state: port to address. No address appears
// twice in one state, whoever wrote the lines.
std::map<std::string, std::string> PoolUses(const std::string& pool, const std::string& state)
{
    std::map<std::string, std::string> byPort;
    std::set<std::string> addresses;
    std::istringstream lines(ReadFileText(pool));
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, ',');)
            fields.push_back(field);
        if (fields.size() != 5 || fields[1] != state)
            continue;
        EXPECT_TRUE(addresses.insert(fields[0]).second) << fields[0] << " " << state << " twice";
        byPort[fields[2]] = fields[0];
    }
    return byPort;
}

class Station : public ::testing::Test {
protected:
    // A board on its own pseudo-terminal at dir/NAME, writing its flash to
    // dir/NAME.flash when stopped.
    SimProcess& Plug(const std::string& name, std::vector<std::string> extra = {"--fast"},
                     const std::string& link = {})
    {
        std::vector<std::string> args{"--link", link.empty() ? dir / name : link, "--flash-out",
                                      FlashOf(name)};
        args.insert(args.end(), extra.begin(), extra.end());
        // A board plugged in again: the old one must be gone first, or its
        // exit removes the new one's link.
        sims.erase(name);
        auto& sim = sims[name] = std::make_unique<SimProcess>(args);
        EXPECT_TRUE(sim->WaitForPath(link.empty() ? dir / name : link, std::chrono::seconds(10)));
        return *sim;
    }

    std::string FlashOf(const std::string& name) const { return dir / (name + ".flash"); }

    // Stops the board and compares its flash with the image and `mac`.
    void ExpectProgrammed(const std::string& name, const std::string& mac)
    {
        ASSERT_EQ(sims[name]->Stop(), 0);
        EXPECT_EQ(ReadFileBytes(FlashOf(name)), ExpectedSerialFlash(image, mac)) << name << " " << mac;
    }

    std::vector<std::string> Args(const std::vector<std::string>& names, std::vector<std::string> extra = {})
    {
        std::vector<std::string> argv{QUILLMARK_FLASH, "station", imagePath};
        for (const std::string& name : names) {
            argv.push_back("--port");
            argv.push_back(dir / name);
        }
        argv.insert(argv.end(), extra.begin(), extra.end());
        return argv;
    }

    CommandResult Run(const std::vector<std::string>& names, const std::vector<std::string>& extra = {})
    {
        return RunCommand(CommandLine(Args(names, extra)));
    }

    TempDir dir;
    const std::vector<std::uint8_t> image = RandomBytes(3000, 21);
    const std::string imagePath = dir.Write("fw.bin", image);
    const std::string pool = dir.Write("pool.csv", "range,0050C20000000010,0050C2000000001F\n");
    const std::string report = dir / "report.jsonl";
    std::map<std::string, std::unique_ptr<SimProcess>> sims;
};

TEST_F(Station, ProgramsSeveralBoardsAtOnceEachWithItsOwnAddress)
{
    const std::vector<std::string> names{"b0", "b1", "b2", "b3"};
    for (const auto& name : names)
        Plug(name);
    const auto result = Run(names, {"--mac-pool", pool, "--report", report});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr(dir / "b2" + ": MAC 0050C2000000001"));
    EXPECT_THAT(result.output, HasSubstr(dir / "b3" + ": Connected\n"));
    EXPECT_THAT(result.output, HasSubstr(dir / "b1" + ": Progress: 40%\n"));
    EXPECT_THAT(result.output, HasSubstr("Boards programmed: 4\nBoards failed: 0\nAddresses used: 4 (12 left in " + pool + ")\n"));

    const auto allocated = PoolUses(pool, "allocated");
    EXPECT_EQ(PoolUses(pool, "programmed"), allocated);
    ASSERT_EQ(allocated.size(), 4u);
    for (const auto& name : names)
        ExpectProgrammed(name, allocated.at(dir / name));
    EXPECT_EQ(ReadFileBytes(imagePath), image);  // the user's image is never touched

    const std::string sha = RunCommand(CommandLine({"sha256sum", imagePath})).output.substr(0, 64);
    EXPECT_THAT(ReadFileText(pool), HasSubstr("Z," + sha + "\n"));
    const std::string lines = ReadFileText(report);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 4);
    EXPECT_THAT(lines, HasSubstr("\"port\":\"" + dir / "b0" + "\",\"mac\":\"" + allocated.at(dir / "b0") +
                                 "\",\"image\":\"" + imagePath + "\",\"image_sha256\":\"" + sha +
                                 "\",\"image_length\":3000,\"status\":7,\"status_text\":\"Firmware "
                                 "update successful! Please reset the board.\",\"result\":\"programmed\""));
}

TEST_F(Station, AFailingBoardAmongGoodOnesFailsAloneAndItsAddressIsNotReused)
{
    Plug("good0");
    Plug("bad", {"--fast", "--erase-fails"});
    Plug("good1");
    auto result = Run({"good0", "bad", "good1"}, {"--mac-pool", pool, "--report", report});
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_THAT(result.output, HasSubstr(dir / "bad" + ": FAILED: Error Erasing\n"));
    EXPECT_THAT(result.output, HasSubstr("Boards programmed: 2\nBoards failed: 1\nAddresses used: 3"));
    EXPECT_THAT(ReadFileText(report), HasSubstr("\"status\":11,\"status_text\":\"Error Erasing\",\"result\":\"failed\""));
    const auto allocated = PoolUses(pool, "allocated");
    const auto failed = PoolUses(pool, "failed");
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed.at(dir / "bad"), allocated.at(dir / "bad"));
    ExpectProgrammed("good0", allocated.at(dir / "good0"));
    ExpectProgrammed("good1", allocated.at(dir / "good1"));

    // The bad board again, now healthy: a new address, never the failed one.
    Plug("bad");
    result = Run({"bad"}, {"--mac-pool", pool});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(PoolUses(pool, "programmed").at(dir / "bad"), "0050C20000000013");
    ExpectProgrammed("bad", "0050C20000000013");
}

// SIGKILL in the middle of programming, then the same boards again: the
// pool still reads, and no address is handed out twice.
TEST_F(Station, AStationKilledMidwayLeavesAPoolThatHandsOutNoAddressTwice)
{
    const std::vector<std::string> names{"k0", "k1", "k2"};
    for (const auto& name : names)
        Plug(name, {});  // realistic pace: seconds to program
    {
        ChildProcess station(Args(names, {"--mac-pool", pool}));
        ASSERT_TRUE(station.Expect("Progress: 20%")) << station.all;
        station.Signal(SIGKILL);
        EXPECT_EQ(station.Wait(), -1);
    }
    EXPECT_EQ(PoolUses(pool, "allocated").size(), 3u);
    EXPECT_TRUE(PoolUses(pool, "programmed").empty());

    const auto result = Run(names, {"--mac-pool", pool});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    std::string error;
    const auto reading = ReadPoolText(ReadFileText(pool), error);
    ASSERT_TRUE(reading) << error;
    EXPECT_EQ(reading->Remaining(), 10u);
    PoolUses(pool, "allocated");  // fails on an address allocated twice
    const std::string text = ReadFileText(pool);
    std::size_t allocations = 0;
    for (auto at = text.find(",allocated,"); at != std::string::npos; at = text.find(",allocated,", at + 1))
        ++allocations;
    EXPECT_EQ(allocations, 6u);
    const auto programmed = PoolUses(pool, "programmed");
    for (const auto& name : names) {
        EXPECT_GE(programmed.at(dir / name), "0050C20000000013");
        ExpectProgrammed(name, programmed.at(dir / name));
    }
}

TEST_F(Station, TwoStationsShareOnePool)
{
    const std::vector<std::string> first{"s0", "s1", "s2"}, second{"t0", "t1", "t2"};
    for (const auto& name : first)
        Plug(name);
    for (const auto& name : second)
        Plug(name);
    ChildProcess a(Args(first, {"--mac-pool", pool}));
    ChildProcess b(Args(second, {"--mac-pool", pool}));
    EXPECT_EQ(a.Wait(), 0) << a.all;
    EXPECT_EQ(b.Wait(), 0) << b.all;
    const auto programmed = PoolUses(pool, "programmed");
    ASSERT_EQ(programmed.size(), 6u);
    EXPECT_EQ(PoolUses(pool, "allocated"), programmed);
    for (const auto& names : {first, second})
        for (const auto& name : names)
            ExpectProgrammed(name, programmed.at(dir / name));
}

TEST_F(Station, RefusesBeforeAnyBoardIsTouched)
{
    std::map<std::string, std::vector<std::uint8_t>> before;
    for (const char* name : {"r0", "r1"}) {
        ASSERT_TRUE(Plug(name).SaveFlash(FlashOf(name), std::chrono::seconds(10)));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // written in full
        before[name] = ReadFileBytes(FlashOf(name));
    }
    const std::string small = dir.Write("small.csv", "range,0050C20000000000,0050C20000000001\n"
                                                      "0050C20000000000,failed,x,t,y\n");
    auto result = Run({"r0", "r1"}, {"--mac-pool", small});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("MAC pool " + small + " is used up: 2 boards need addresses, "
                                         "1 of the range 0050C20000000000 to 0050C20000000001 left. "
                                         "Give the station a pool with a fresh range.\nNo board was touched."));
    EXPECT_EQ(ReadFileText(small), "range,0050C20000000000,0050C20000000001\n0050C20000000000,failed,x,t,y\n");

    const std::vector<std::pair<std::vector<std::string>, std::string>> usage{
        {{"--mac", "0050C2000000AAAA"}, "one address for several boards is never right"},
        {{}, "Several boards need a --mac-pool"},
        {{"--mac", "0050C2000000AAAA", "--mac-pool", pool}, "excludes --mac"},
        {{"--port", dir / "r0"}, "is given twice"},
        {{"--all"}, "--port excludes --all"},
    };
    for (const auto& [extra, message] : usage) {
        result = Run({"r0", "r1"}, extra);
        EXPECT_EQ(result.exitCode, 2) << result.output;
        EXPECT_THAT(result.output, HasSubstr(message));
    }
    result = RunCommand(CommandLine({QUILLMARK_FLASH, "station", imagePath}));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_THAT(result.output, HasSubstr("--port or --all is required"));

    result = Run({"r0"}, {"--mac-pool", dir / "none.csv"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("cannot be opened (No such file or directory); a new pool is a "
                                         "text file whose first line is range,"));
    result = Run({"r0"}, {"--mac-pool", dir.Write("bad.csv", "0050C20000000000\n")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("line 1: a pool begins with its range"));
    result = Run({"r0"}, {"--report", dir.Path().string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("The report " + dir.Path().string() + " cannot be written ("));
    result = RunCommand(CommandLine({QUILLMARK_FLASH, "station", dir / "missing.bin", "--port", dir / "r0"}));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.output, HasSubstr("cannot be programmed; no board was touched"));
    EXPECT_THAT(result.output, Not(HasSubstr("Opening port")));
    EXPECT_FALSE(std::filesystem::exists(dir / "none.csv"));

    // Nothing reached either board: their flash is as it was.
    for (const char* name : {"r0", "r1"}) {
        ASSERT_EQ(sims[name]->Stop(), 0);
        EXPECT_EQ(ReadFileBytes(FlashOf(name)), before[name]) << name;
    }
}

TEST_F(Station, ATornLastLineIsReportedAndCountedAsUsed)
{
    Plug("w0");
    const std::string text = ReadFileText(pool) + "0050C20000000010,allocated,w0,2026-12-08T1";
    std::ofstream(pool, std::ios::trunc) << text;
    const auto result = Run({"w0"}, {"--mac-pool", pool});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Warning: MAC pool " + pool + ", line 2: an unfinished line"));
    EXPECT_THAT(ReadFileText(pool), HasSubstr(text + ",torn\n0050C20000000011,allocated," + dir / "w0"));
    ExpectProgrammed("w0", "0050C20000000011");
}

// Boards plugged in one after another into a fake machine whose device
// nodes are the simulators' links.
TEST_F(Station, WatchProgramsEachBoardAsItIsPluggedIn)
{
    FakeMachine machine;
    const auto plugIn = [&](const std::string& tty) {
        machine.AddSysfsOnlySerial(tty);
        Plug(tty, {"--fast"}, machine.Dev() + "/" + tty);
    };
    ChildProcess station({QUILLMARK_FLASH, "station", imagePath, "--all", "--watch", "--mac-pool", pool,
                          "--sysfs-root", machine.Sysfs(), "--dev-root", machine.Dev()});
    ASSERT_TRUE(station.Expect("Watching for boards")) << station.all;
    plugIn("ttyUSB0");
    ASSERT_TRUE(station.Expect("ttyUSB0: programmed in")) << station.all;
    plugIn("ttyUSB1");
    ASSERT_TRUE(station.Expect("ttyUSB1: programmed in")) << station.all;
    // ttyUSB0's board greets again after its update; it stays as it is.
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    station.ReadAvailable();
    const auto jobs = [&](const std::string& tty) {
        std::size_t count = 0;
        for (auto at = station.all.find(tty + ": MAC"); at != std::string::npos;
             at = station.all.find(tty + ": MAC", at + 1))
            ++count;
        return count;
    };
    EXPECT_EQ(jobs("ttyUSB0"), 1u) << station.all;
    ExpectProgrammed("ttyUSB0", "0050C20000000010");
    machine.UnplugSerial("ttyUSB0");
    ASSERT_TRUE(station.Expect("ttyUSB0: board removed")) << station.all;
    plugIn("ttyUSB0");  // back: a new board, programmed again
    ASSERT_TRUE(station.Expect("ttyUSB0: programmed in")) << station.all;

    station.Signal(SIGINT);
    EXPECT_EQ(station.Wait(), 130) << station.all;
    EXPECT_THAT(station.all, HasSubstr("Boards programmed: 3\nBoards failed: 0\nAddresses used: 3 (13 left"));
    ExpectProgrammed("ttyUSB1", "0050C20000000011");
    ExpectProgrammed("ttyUSB0", "0050C20000000012");
}

TEST_F(Station, CtrlCStopsTheRunningJobsAndReportsTheirBoardsNotProgrammed)
{
    Plug("c0", {"--fast", "--never-greet"});
    Plug("c1", {"--fast"});
    ChildProcess station(Args({"c0", "c1"}, {"--mac-pool", pool, "--report", report}));
    ASSERT_TRUE(station.Expect(dir / "c1: programmed in")) << station.all;
    station.Signal(SIGINT);
    EXPECT_EQ(station.Wait(), 130) << station.all;
    EXPECT_THAT(station.all, HasSubstr(dir / "c0: not programmed: stopped"));
    EXPECT_THAT(station.all, HasSubstr("Boards programmed: 1\nBoards failed: 0\nBoards not programmed (stopped): 1\n"));
    EXPECT_EQ(PoolUses(pool, "failed").at(dir / "c0"), PoolUses(pool, "allocated").at(dir / "c0"));
    EXPECT_THAT(ReadFileText(report), HasSubstr("\"result\":\"stopped\""));
}

}  // namespace
