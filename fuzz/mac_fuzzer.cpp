// The MAC text rules on any text: conversion never fails, and the rules agree
// with each other and with plain arithmetic.
//  - 16 hexadecimal digits are a valid MAC, and its bytes written back out
//    give the same digits (upper case);
//  - shorter hexadecimal texts read as if zeros stood in front, longer ones
//    as their first 16 digits, and a 0x in front changes nothing;
//  - the bytes are the number the digits spell, least significant first;
//  - a command-line MAC comes back as 16 upper-case digits that read as the
//    same bytes, the fixed prefix in front of a 10-digit one;
//  - any 8 bytes written as digits, in either case, read back as themselves.

#include "job/mac_address.h"

#include "fuzz_check.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

bool IsHexDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isxdigit(c) != 0; });
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// Most significant byte first, as a MAC is written.
std::string Digits(const MacBytes& bytes, bool lower)
{
    std::string text;
    char pair[3];
    for (std::size_t i = bytes.size(); i-- > 0;) {
        std::snprintf(pair, sizeof pair, lower ? "%02x" : "%02X", bytes[i]);
        text += pair;
    }
    return text;
}

std::uint64_t Number(const MacBytes& bytes)
{
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        value = value << 8 | bytes[i];
    return value;
}

std::uint64_t DigitValue(char c)
{
    const unsigned char u = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
    return u <= '9' ? u - '0' : u - 'A' + 10;
}

void CheckAnyText(std::string_view text)
{
    const MacBytes bytes = MacTextToBytes(text);
    MacBytes direct{};
    FUZZ_CHECK(HexTextToBytes(text, direct.data(), static_cast<int>(direct.size())) == 0);
    FUZZ_CHECK(direct == bytes);
    FUZZ_CHECK(IsValidMacText(text) == (text.size() == 16 && IsHexDigits(text)));

    if (IsValidMacText(text))
        FUZZ_CHECK(Digits(bytes, false) == Upper(text));

    if (const auto argument = ParseMacArgument(text)) {
        FUZZ_CHECK(IsValidMacText(*argument));
        FUZZ_CHECK(*argument == Upper(*argument));
        FUZZ_CHECK(IsHexDigits(text));
        if (text.size() == 16) {
            FUZZ_CHECK(*argument == Upper(text));
        } else {
            FUZZ_CHECK(text.size() == 10);
            FUZZ_CHECK(*argument == "0050C2" + Upper(text));
            FUZZ_CHECK(Number(MacTextToBytes(*argument)) ==
                       (0x0050C2ull << 40 | Number(MacTextToBytes(text))));
        }
        FUZZ_CHECK(Digits(MacTextToBytes(*argument), false) == *argument);
    } else {
        FUZZ_CHECK(!IsHexDigits(text) || (text.size() != 16 && text.size() != 10));
    }
}

void CheckHexText(std::string_view text)
{
    const MacBytes bytes = MacTextToBytes(text);
    FUZZ_CHECK(MacTextToBytes("0x" + std::string(text)) == bytes);
    FUZZ_CHECK(MacTextToBytes("0X" + std::string(text)) == bytes);
    if (text.size() > 16) {
        FUZZ_CHECK(MacTextToBytes(text.substr(0, 16)) == bytes);
        return;
    }
    FUZZ_CHECK(MacTextToBytes(std::string(16 - text.size(), '0') + std::string(text)) == bytes);
    std::uint64_t value = 0;
    for (char c : text)
        value = value << 4 | DigitValue(c);
    FUZZ_CHECK(Number(bytes) == value);
    // Fewer bytes keep the low ones of the same number.
    for (int count = 1; count <= 8; ++count) {
        if (text.size() > 2 * static_cast<std::size_t>(count))
            continue;
        MacBytes some{};
        HexTextToBytes(text, some.data(), count);
        FUZZ_CHECK(Number(some) == value);
    }
}

void CheckBytes(const MacBytes& bytes)
{
    for (bool lower : {false, true}) {
        const std::string text = Digits(bytes, lower);
        FUZZ_CHECK(IsValidMacText(text));
        FUZZ_CHECK(MacTextToBytes(text) == bytes);
        FUZZ_CHECK(ParseMacArgument(text) == Upper(text));
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::string pair = Digits(bytes, false).substr(2 * (bytes.size() - 1 - i), 2);
        FUZZ_CHECK(HexPairToByte(pair[0], pair[1]) == bytes[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckAnyText(text);
    if (IsHexDigits(text))
        CheckHexText(text);
    if (size >= 8) {
        MacBytes bytes;
        std::copy_n(data, bytes.size(), bytes.begin());
        CheckBytes(bytes);
    }
    return 0;
}
