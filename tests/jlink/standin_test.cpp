// The J-Link job with real processes and pipes: the stand-in tool, installed
// below a program folder, programs its simulated target from the job's
// script.

#include "job_rig.h"
#include "platform/process.h"
#include "support/expected_flash.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

struct Image {
    std::string name;
    std::string text;                    // the file as written
    std::vector<std::uint8_t> binary;    // the image it describes
};

Image Raw(std::size_t size, std::uint32_t seed)
{
    const auto bytes = RandomBytes(size, seed);
    return {"fw.bin", std::string(bytes.begin(), bytes.end()), bytes};
}

class StandInJob : public ::testing::Test {
protected:
    void SetUp() override { rig.InstallTool(JLINK_STANDIN); }

    JLinkSettings Settings(const std::vector<std::string>& environment = {})
    {
        JLinkSettings settings = rig.Settings(StartProcess);
        settings.toolEnvironment = {"QUILLMARK_JLINK_SLEEP_SCALE=0",
                                    "QUILLMARK_JLINK_FLASH_FILE=" + flashFile};
        settings.toolEnvironment.insert(settings.toolEnvironment.end(), environment.begin(),
                                        environment.end());
        return settings;
    }

    std::string Log() const
    {
        const auto bytes = ReadFileBytes(rig.TempFolder() + "/jlink.log");
        return {bytes.begin(), bytes.end()};
    }

    JobRig rig;
    std::string flashFile = rig.dir / "flash.bin";
};

// Progress only grows and names pieces of this image.
void ExpectProgressOfPieces(const std::vector<std::string>& events, int pieces)
{
    int last = -1;
    for (const std::string& e : events) {
        if (e.rfind("progress ", 0) != 0)
            continue;
        const int percent = std::stoi(e.substr(9));
        EXPECT_GE(percent, last);
        bool known = percent == 100;
        for (int i = 0; i < pieces; ++i)
            known = known || percent == i * 100 / pieces;
        EXPECT_TRUE(known) << percent;
        last = percent;
    }
}

struct SuccessCase {
    const char* name;
    Image image;
    const char* echo;
    int pieces;
};
void PrintTo(const SuccessCase& c, std::ostream* os) { *os << c.name; }

class StandInSuccess : public StandInJob, public ::testing::WithParamInterface<SuccessCase> {};

TEST_P(StandInSuccess, FlashHoldsHeaderImageAndMac)
{
    const SuccessCase& c = GetParam();
    const std::string path = rig.dir.Write(c.image.name, c.image.text);
    const auto events = rig.Run(Settings({std::string("QUILLMARK_JLINK_ECHO=") + c.echo}), path,
                                "0050C2ABCDEF0123");
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events.front(), kProgramming);
    EXPECT_THAT(std::vector(events.end() - 2, events.end()), ElementsAre("progress 100", kSucceeded));
    ExpectProgressOfPieces(events, c.pieces);
    EXPECT_EQ(ReadFileBytes(flashFile), ExpectedJLinkFlash(c.image.binary, "0050C2ABCDEF0123"));
    EXPECT_EQ(ReadFileBytes(path), std::vector<std::uint8_t>(c.image.text.begin(), c.image.text.end()));
    EXPECT_THAT(rig.TempEntries(), ElementsAre("jlink.log"));
    EXPECT_THAT(Log(), HasSubstr("Script processing completed."));
    EXPECT_THAT(rig.Messages(), ::testing::IsEmpty());
}

std::vector<std::uint8_t> SRecordBinary()
{
    // Addresses no record covers read as erased flash.
    std::vector<std::uint8_t> binary(0x104, 0xFF);
    const std::uint8_t data[] = {0xAA, 0xBB, 0xCC, 0xDD};
    std::copy(data, data + 4, binary.begin() + 0x100);
    return binary;
}

INSTANTIATE_TEST_SUITE_P(
    Images, StandInSuccess,
    ::testing::Values(
        SuccessCase{"ThreePieces", Raw(10000, 21), "downloading", 3},
        SuccessCase{"OlderEcho", Raw(10000, 22), "loading", 3},
        SuccessCase{"ShortImageGrowsToTheMacField", Raw(100, 23), "downloading", 1},
        SuccessCase{"LargestImage", Raw(131063, 24), "downloading", 32},
        SuccessCase{"SRecordsAsTheirBinary",
                    {"fw.s19", "S1070100AABBCCDDE9\nS9030000FC\n", SRecordBinary()},
                    "downloading",
                    1}));

struct FaultCase {
    const char* name;
    const char* fault;
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class StandInFailure : public StandInJob, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(StandInFailure, EndsWithStatus15AndCleansUp)
{
    const std::string path = rig.dir.Write("fw.bin", RandomBytes(10000, 31));
    JLinkSettings settings = Settings({std::string("QUILLMARK_JLINK_FAULT=") + GetParam().fault});
    settings.toolTimeLimit = std::chrono::milliseconds(500);
    const auto events = rig.Run(settings, path);
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events.front(), kProgramming);
    EXPECT_THAT(std::vector(events.end() - 2, events.end()), ElementsAre("progress 100", kFailed));
    EXPECT_THAT(events, Not(::testing::Contains(kSucceeded)));
    // The log exists unless the marker came with the very first output.
    EXPECT_THAT(rig.TempEntries(), ::testing::Each("jlink.log"));
}

INSTANTIATE_TEST_SUITE_P(Faults, StandInFailure,
                         ::testing::Values(FaultCase{"NoProbe", "no-probe"}, FaultCase{"Error", "error"},
                                           FaultCase{"SplitError", "split-error"},
                                           FaultCase{"Hang", "hang"}, FaultCase{"Crash", "crash"}));

TEST_F(StandInJob, EveryLineOfAFloodIsLogged)
{
    const std::string path = rig.dir.Write("fw.bin", RandomBytes(10000, 41));
    const auto events = rig.Run(Settings({"QUILLMARK_JLINK_FAULT=flood"}), path);
    EXPECT_EQ(events.back(), kSucceeded);
    const std::string log = Log();
    auto count = [&log](const std::string& what) {
        std::size_t n = 0;
        for (auto at = log.find(what); at != std::string::npos; at = log.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_GT(log.size(), 500000u);
    // Every command but the final "q" is followed by its flood.
    EXPECT_EQ(count("Flood 199:") + 1, count("J-Link>"));
    EXPECT_THAT(log, HasSubstr("Script processing completed."));
}

TEST_F(StandInJob, TheLogKeepsEveryRun)
{
    const std::string path = rig.dir.Write("fw.bin", RandomBytes(5000, 42));
    rig.Run(Settings(), path);
    const std::string first = Log();
    rig.Run(Settings(), path);
    EXPECT_EQ(Log(), first + first);
}

}  // namespace
