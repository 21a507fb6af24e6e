#include "job/mac_address.h"

#include <gtest/gtest.h>

namespace {

struct MacCase {
    const char* text;
    MacBytes bytes;
};

class MacConversion : public ::testing::TestWithParam<MacCase> {};

TEST_P(MacConversion, LeastSignificantByteFirst)
{
    EXPECT_EQ(MacTextToBytes(GetParam().text), GetParam().bytes);
}

constexpr MacBytes kCounting{0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01};

INSTANTIATE_TEST_SUITE_P(
    Texts, MacConversion,
    ::testing::Values(MacCase{"0123456789ABCDEF", kCounting}, MacCase{"0x0123456789ABCDEF", kCounting},
                      MacCase{"0X0123456789abcdef", kCounting}, MacCase{"0123456789abcdef", kCounting},
                      MacCase{"1A", {0x1A, 0, 0, 0, 0, 0, 0, 0}}, MacCase{"", {}},
                      MacCase{"0123456789ABCDEF7", kCounting},
                      MacCase{"0050C2123456789A", {0x9A, 0x78, 0x56, 0x34, 0x12, 0xC2, 0x50, 0x00}}));

TEST(HexPairToByte, KeepsTheLowEightBitsOfWhatItComputes)
{
    EXPECT_EQ(HexPairToByte('F', 'F'), 0xFF);
    EXPECT_EQ(HexPairToByte('0', '9'), 0x09);
    // 'G' has no hexadecimal value; the rule gives 16, which carries over.
    EXPECT_EQ(HexPairToByte('0', 'G'), 0x10);
}

TEST(HexTextToBytes, WritesExactlyCountBytes)
{
    std::uint8_t out[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(HexTextToBytes("1234", out, 2), 0);
    EXPECT_EQ(out[0], 0x34);
    EXPECT_EQ(out[1], 0x12);
    EXPECT_EQ(out[2], 0xAA);
}

struct ArgumentCase {
    const char* text;
    const char* parsed;  // nullptr: refused
};

class MacArgument : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(MacArgument, SixteenDigitsOrTenAfterTheFixedPrefix)
{
    const auto parsed = ParseMacArgument(GetParam().text);
    if (GetParam().parsed) {
        ASSERT_TRUE(parsed);
        EXPECT_EQ(*parsed, GetParam().parsed);
    } else {
        EXPECT_FALSE(parsed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MacArgument,
    ::testing::Values(ArgumentCase{"0050c2123456789a", "0050C2123456789A"},
                      ArgumentCase{"123456789A", "0050C2123456789A"},
                      ArgumentCase{"0050C2123456789", nullptr},
                      ArgumentCase{"0050C2123456789AB", nullptr},
                      ArgumentCase{"0050C212345678G9", nullptr},
                      ArgumentCase{"0x0050C2123456", nullptr}, ArgumentCase{"", nullptr},
                      ArgumentCase{"00:50:C2:12:34", nullptr}));

TEST(IsValidMacText, OnlySixteenHexadecimalDigits)
{
    EXPECT_TRUE(IsValidMacText("0050C2123456789a"));
    EXPECT_FALSE(IsValidMacText("0050C2123456789"));
    EXPECT_FALSE(IsValidMacText("0050C2 23456789A"));
    EXPECT_FALSE(IsValidMacText("0050C2123456789AA"));
}

}  // namespace
