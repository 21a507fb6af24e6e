#pragma once
// The wizard's text colors, as both windows' labels take them.

#include <cstdint>

using ColorRef = std::uint32_t;  // 0x00BBGGRR, red in the low byte

inline constexpr ColorRef kBlack = 0;
inline constexpr ColorRef kRed = 255;            // RGB 255, 0, 0
inline constexpr ColorRef kGreen = 35840;        // RGB 0, 140, 0
// Dark enough to read on white (contrast above 4.5:1), light enough to
// stay in the background.
inline constexpr ColorRef kGrey = 6316128;       // RGB 96, 96, 96
