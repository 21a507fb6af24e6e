#include "serial/wire_protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(WritePacket, HeaderIsStartLetterAddressLittleEndianAndLength)
{
    const auto header = PacketHeader(0x0001020Eu, 120);
    const std::array<std::uint8_t, 7> expected{0x02, 0x57, 0x0E, 0x02, 0x01, 0x00, 120};
    EXPECT_EQ(header, expected);
}

struct CheckCase {
    std::uint32_t address;
    std::vector<std::uint8_t> payload;
    std::uint8_t check;
};

class CheckByte : public ::testing::TestWithParam<CheckCase> {};

// Worked by hand: 'W' ^ address bytes ^ n ^ payload; the leading 0x02 stays out.
TEST_P(CheckByte, IsTheXorOfLetterAddressLengthAndPayload)
{
    EXPECT_EQ(PacketCheckByte(GetParam().address, GetParam().payload), GetParam().check);
}

INSTANTIATE_TEST_SUITE_P(
    Packets, CheckByte,
    ::testing::Values(CheckCase{8, {0xAA}, 0x57 ^ 0x08 ^ 0x01 ^ 0xAA},
                      CheckCase{0x12345678, {1, 2, 3}, 0x57 ^ 0x78 ^ 0x56 ^ 0x34 ^ 0x12 ^ 3 ^ 1 ^ 2 ^ 3},
                      CheckCase{0, {'O', 'K', 'O', 'K', 5, 0, 0, 0}, 0x57 ^ 8 ^ 5},
                      CheckCase{128, {}, 0x57 ^ 0x80}));

TEST(EraseCommand, FollowsThePacketShape)
{
    EXPECT_EQ(kEraseCommand[0], 0x02);
    EXPECT_EQ(kEraseCommand[3], kEraseCommand[1] ^ kEraseCommand[2]);
}

TEST(LengthWord, IsLittleEndian)
{
    const std::array<std::uint8_t, 4> expected{0xD0, 0x16, 0x00, 0x00};
    EXPECT_EQ(LengthWord(5840), expected);
}

struct GreetingInput {
    std::string waiting;
    bool connects;
};

class Greeting : public ::testing::TestWithParam<GreetingInput> {};

TEST_P(Greeting, SevenOrEightBytesEndingInConnect)
{
    EXPECT_EQ(IsGreeting(Bytes(GetParam().waiting)), GetParam().connects) << GetParam().waiting;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Greeting,
    ::testing::Values(GreetingInput{"CONNECT", true}, GreetingInput{"xCONNECT", true},
                      GreetingInput{std::string("\0CONNECT", 8), true},
                      GreetingInput{"xxCONNECT", false}, GreetingInput{"CONNECTx", false},
                      GreetingInput{"CONNEC", false}, GreetingInput{"connect", false},
                      GreetingInput{"CONNECT\r\n", false}, GreetingInput{"", false}));

TEST(Replies, ReadyMustMatchExactly)
{
    EXPECT_TRUE(IsReady({'R', 'E', 'A', 'D', 'Y', 0}));
    EXPECT_FALSE(IsReady({'R', 'e', 'a', 'd', 'y', 0}));
    EXPECT_FALSE(IsReady({'R', 'E', 'A', 'D', 0, 0}));
    EXPECT_TRUE(IsEraseDone({0x02, 'D', 0, 0}));
    EXPECT_FALSE(IsEraseDone({'D', 0x02, 0, 0}));
}

struct ProgressCase {
    std::uint32_t address;
    std::uint32_t length;
    unsigned percent;
};

class Progress : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(Progress, TruncatedAndNeverAboveOneHundred)
{
    EXPECT_EQ(ProgressPercent(GetParam().address, GetParam().length), GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(Values, Progress,
                         ::testing::Values(ProgressCase{8, 121, 6},       // 800 / 121
                                           ProgressCase{128, 121, 100},   // 105 by the formula
                                           ProgressCase{8, 5, 100},       // 160 by the formula
                                           ProgressCase{8, 120, 6},
                                           ProgressCase{8, 131063, 0},
                                           ProgressCase{130928, 131063, 99},
                                           ProgressCase{0xFFFFFFF0u, 0xFFFFFFFFu, 99}));

}  // namespace
