// The simulated board's own rules: NOR flash bits, checked packets, the
// loader it accepts. The job's tests rely on the board catching mistakes.

#include "data/target_code.h"
#include "serial/wire_protocol.h"
#include "sim/board_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

TEST(NorFlash, EraseSetsEveryBitAndWritesOnlyClearBits)
{
    NorFlash flash;
    flash.Erase();
    EXPECT_EQ(std::count(flash.Bytes().begin(), flash.Bytes().end(), 0xFF), NorFlash::kSize);
    const std::uint8_t high = 0xF0, low = 0x0F;
    ASSERT_TRUE(flash.Write(100, {&high, 1}));
    ASSERT_TRUE(flash.Write(100, {&low, 1}));
    EXPECT_EQ(flash.Bytes()[100], 0x00);
}

TEST(NorFlash, RefusesWritesPastTheEnd)
{
    NorFlash flash;
    flash.Erase();
    const std::vector<std::uint8_t> eight(8, 0);
    EXPECT_TRUE(flash.Write(NorFlash::kSize - 8, eight));
    EXPECT_FALSE(flash.Write(NorFlash::kSize - 7, eight));
    EXPECT_EQ(flash.Bytes().back(), 0x00);
    EXPECT_EQ(flash.Bytes()[NorFlash::kSize - 9], 0xFF);
}

class LoaderRunning : public ::testing::Test {
protected:
    LoaderRunning() : model(options, flash, SecondStageLoader())
    {
        options.baud = 0;
        Feed({0x00});
        const auto length = LengthWord(kSecondStageLoaderSize);
        Feed({length.begin(), length.end()});
        ready = Feed({SecondStageLoader().begin(), SecondStageLoader().end()});
    }

    std::vector<std::uint8_t> Feed(const std::vector<std::uint8_t>& bytes)
    {
        std::vector<std::uint8_t> replies;
        for (std::uint8_t byte : bytes)
            for (const Emission& emission : model.Feed(byte))
                replies.insert(replies.end(), emission.bytes.begin(), emission.bytes.end());
        return replies;
    }

    std::vector<std::uint8_t> Packet(std::uint32_t address, const std::vector<std::uint8_t>& payload,
                                     std::uint8_t checkFlip = 0)
    {
        const auto header = PacketHeader(address, payload.size());
        std::vector<std::uint8_t> packet(header.begin(), header.end());
        packet.insert(packet.end(), payload.begin(), payload.end());
        packet.push_back(PacketCheckByte(address, payload) ^ checkFlip);
        return packet;
    }

    SimOptions options;
    NorFlash flash;
    BoardModel model;
    std::vector<std::uint8_t> ready;
};

TEST_F(LoaderRunning, AnswersReadyToTheLoaderItCarries)
{
    EXPECT_EQ(std::string(ready.begin(), ready.end()), "READY");
}

TEST_F(LoaderRunning, ErasesAndWritesCheckedPackets)
{
    const auto erased = Feed({kEraseCommand.begin(), kEraseCommand.end()});
    ASSERT_EQ(erased.size(), kEraseReplySize);
    EXPECT_EQ(erased[1], 'D');
    const auto ack = Feed(Packet(8, {1, 2, 3}));
    EXPECT_THAT(ack, ElementsAre(0x02, 'W', 8, 0, 0, 0, 3, 0));
    EXPECT_THAT(std::vector<std::uint8_t>(flash.Bytes().begin() + 7, flash.Bytes().begin() + 12),
                ElementsAre(0xFF, 1, 2, 3, 0xFF));
}

TEST_F(LoaderRunning, ABadCheckByteIsRefusedAndNothingIsWritten)
{
    Feed({kEraseCommand.begin(), kEraseCommand.end()});
    const auto ack = Feed(Packet(8, {1, 2, 3}, 0x01));
    ASSERT_EQ(ack.size(), kAcknowledgementSize);
    EXPECT_NE(ack[1], 'W');
    EXPECT_EQ(flash.Bytes()[8], 0xFF);
}

TEST_F(LoaderRunning, WithoutAnEraseTheOldContentShowsThrough)
{
    const std::uint8_t old = flash.Bytes()[8];
    Feed(Packet(8, {0xFF}));
    EXPECT_EQ(flash.Bytes()[8], old);
}

TEST(BoardModel, AWrongLoaderLeavesTheBoardSilent)
{
    SimOptions options;
    NorFlash flash;
    BoardModel model(options, flash, SecondStageLoader());
    EXPECT_FALSE(model.Feed(0x00).empty());  // the greeting
    std::vector<std::uint8_t> loader(SecondStageLoader().begin(), SecondStageLoader().end());
    loader[100] ^= 0x40;
    std::vector<Emission> replies;
    for (std::uint8_t byte : LengthWord(kSecondStageLoaderSize))
        model.Feed(byte);
    for (std::uint8_t byte : loader) {
        auto out = model.Feed(byte);
        replies.insert(replies.end(), out.begin(), out.end());
    }
    EXPECT_THAT(replies, IsEmpty());
    EXPECT_TRUE(model.Feed(kEraseCommand[0]).empty());
}

}  // namespace

namespace {

// The user presses reset only after the silent polls, and again after each
// reset of the board.
TEST(BoardModel, LeavesTheSilentPollsUnansweredAfterEachReset)
{
    SimOptions options;
    options.silentPolls = 2;
    NorFlash flash;
    BoardModel model(options, flash, SecondStageLoader());
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(model.Feed(0x00).empty()) << "round " << round;
        EXPECT_TRUE(model.Feed(0x00).empty()) << "round " << round;
        EXPECT_FALSE(model.Feed(0x00).empty()) << "round " << round;
        EXPECT_FALSE(model.InRom());
        model.Reset();
    }
}

}  // namespace
