// The MAC pool's text: the range, the uses, torn lines and refusals; and the
// pool on a real file, locked, as the station uses it.

#include "station/mac_pool.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::HasSubstr;

const std::string kRange = "range,0050C20000000000,0050C20000000009\n";
const std::string kSha(64, 'a');

std::string Use(const std::string& mac, const std::string& state)
{
    return mac + "," + state + ",ttyUSB0,2026-12-08T13:05:00Z," + kSha + "\n";
}

PoolReading Read(const std::string& text)
{
    std::string error;
    const auto reading = ReadPoolText(text, error);
    EXPECT_TRUE(reading) << error;
    return reading.value_or(PoolReading{});
}

TEST(MacPoolText, NextFollowsTheHighestAddressEverWritten)
{
    auto reading = Read(kRange);
    EXPECT_EQ(reading.first, 0x0050C20000000000u);
    EXPECT_EQ(reading.last, 0x0050C20000000009u);
    EXPECT_EQ(reading.next, reading.first);
    EXPECT_EQ(reading.Remaining(), 10u);
    EXPECT_EQ(reading.lineEnd, "");

    // A failed board's address is used; lower case, blank lines and the
    // carriage returns of a spreadsheet are fine; lines arrive out of order
    // when stations share the pool.
    reading = Read(kRange + Use("0050C20000000003", "allocated") + "\n" +
                   Use("0050c20000000001", "failed") + "0050C20000000003,programmed,ttyACM0,t," +
                   kSha + "\r\n");
    EXPECT_EQ(MacValueText(reading.next), "0050C20000000004");
    EXPECT_EQ(reading.Remaining(), 6u);
    EXPECT_TRUE(reading.warnings.empty());

    // The last line without its break, but whole: an editor's doing, not a tear.
    std::string whole = Use("0050C20000000009", "allocated");
    whole.pop_back();
    reading = Read(kRange + whole);
    EXPECT_EQ(reading.Remaining(), 0u);
    EXPECT_EQ(reading.lineEnd, "\n");
    EXPECT_EQ(Read("range,0050C20000000000,0050C20000000009").lineEnd, "\n");
}

TEST(MacPoolText, ATornLineCountsAsOneMoreAddressWhereverItIs)
{
    const std::string torn = "0050C2000000";
    auto reading = Read(kRange + Use("0050C20000000002", "allocated") + torn);
    EXPECT_EQ(MacValueText(reading.next), "0050C20000000004");
    EXPECT_EQ(reading.lineEnd, kTornLineEnd);
    ASSERT_EQ(reading.warnings.size(), 1u);
    EXPECT_THAT(reading.warnings[0], HasSubstr("line 3: an unfinished line"));

    // Once ended it still counts, and what follows counts on top of it.
    reading = Read(kRange + Use("0050C20000000002", "allocated") + torn + std::string(kTornLineEnd) +
                   Use("0050C20000000004", "allocated"));
    EXPECT_EQ(MacValueText(reading.next), "0050C20000000005");
    EXPECT_EQ(reading.lineEnd, "");
    EXPECT_EQ(reading.warnings.size(), 1u);

    // Torn in its digest: one more, and past the address it names.
    reading = Read(kRange + Use("0050C20000000002", "programmed").substr(0, 90));
    EXPECT_EQ(MacValueText(reading.next), "0050C20000000003");
    reading = Read(kRange + Use("0050C20000000005", "allocated") + Use("0050C20000000002", "failed").substr(0, 20));
    EXPECT_EQ(MacValueText(reading.next), "0050C20000000007");
}

TEST(MacPoolText, WhatIsNoPoolIsRefusedNamingTheLine)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "no range"},
        {"0050C20000000000,0050C20000000009\n", "line 1: a pool begins with its range"},
        {"range,0050C20000000009,0050C20000000000\n", "the first not above the last"},
        {"range,0050C2000000000,0050C20000000009\n", "16 hexadecimal digits"},
        {kRange + "0050C20000000000,lost,ttyUSB0,t," + kSha + "\n", "line 2: not a use of an address"},
        {kRange + "\n0050C2000000000G,failed,ttyUSB0,t," + kSha + "\n", "line 3: not a use"},
        {kRange + "0050C20000000000,failed,ttyUSB0\n", "found '0050C20000000000,failed,ttyUSB0'"},
    };
    for (const auto& [text, message] : cases) {
        std::string error;
        EXPECT_FALSE(ReadPoolText(text, error)) << text;
        EXPECT_THAT(error, HasSubstr(message)) << text;
    }
}

TEST(MacPoolFile, AllocatesAllOrNoneAndEndsATornLineFirst)
{
    TempDir dir;
    const std::string path = dir.Write("pool.csv", kRange + "0050C20000000000,alloc");
    MacPool pool(path);
    auto allocation = pool.Allocate({"ttyUSB0", "a,b"}, "2026-12-08T13:05:00Z", kSha);
    ASSERT_TRUE(allocation.error.empty()) << allocation.error;
    EXPECT_EQ(allocation.macs, (std::vector<std::string>{"0050C20000000001", "0050C20000000002"}));
    EXPECT_EQ(allocation.warnings.size(), 1u);
    EXPECT_EQ(ReadFileText(path), kRange + "0050C20000000000,alloc,torn\n" +
                                  "0050C20000000001,allocated,ttyUSB0,2026-12-08T13:05:00Z," + kSha + "\n" +
                                  "0050C20000000002,allocated,a_b,2026-12-08T13:05:00Z," + kSha + "\n");

    std::string error;
    ASSERT_TRUE(pool.Record("0050C20000000002", PoolState::Failed, "a,b", "T", kSha, error)) << error;
    EXPECT_THAT(ReadFileText(path), testing::EndsWith("0050C20000000002,failed,a_b,T," + kSha + "\n"));

    // 7 left: 8 boards get none, and the file is as it was.
    const std::string before = ReadFileText(path);
    allocation = pool.Allocate(std::vector<std::string>(8, "ttyUSB0"), "T", kSha);
    EXPECT_TRUE(allocation.macs.empty());
    EXPECT_THAT(allocation.error, HasSubstr("is used up: 8 boards need addresses, 7 of the range "
                                            "0050C20000000000 to 0050C20000000009 left"));
    EXPECT_EQ(ReadFileText(path), before);
    allocation = pool.Allocate(std::vector<std::string>(7, "ttyUSB0"), "T", kSha);
    EXPECT_EQ(allocation.macs.back(), "0050C20000000009");

    MacPool missing(dir / "none.csv");
    EXPECT_THAT(missing.Allocate({"ttyUSB0"}, "T", kSha).error,
                HasSubstr("cannot be opened (No such file or directory); a new pool is a text file"));
    EXPECT_FALSE(std::filesystem::exists(dir / "none.csv"));
}

}  // namespace
