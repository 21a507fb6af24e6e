#pragma once
// The MAC rules both jobs share: 16 hexadecimal digits become 8 bytes, least
// significant first.

#include "flash/flash_layout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Converts `text` into `count` bytes, least significant byte first, into
// destination[0..count). No validation: shorter texts are padded with zeros at
// the front, longer ones contribute their first 2 × count digits. Returns 0.
int HexTextToBytes(std::string_view text, std::uint8_t* destination, int count);

// The value of two hexadecimal digits (upper case expected), low 8 bits kept.
std::uint8_t HexPairToByte(char high, char low);

// The 8 MAC bytes of a MAC text, by the rule above.
MacBytes MacTextToBytes(std::string_view text);

// Exactly 16 hexadecimal digits: what programming accepts as a MAC text.
bool IsValidMacText(std::string_view text);

// A MAC as given on a command line: 16 hexadecimal digits, or 10 that follow
// the fixed prefix 0050C2. Returns the 16 upper-case digits, or nothing.
std::optional<std::string> ParseMacArgument(std::string_view text);
