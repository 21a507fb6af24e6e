#pragma once
// The two pieces of target code sent to the board: the second-stage loader
// (serial path) and the flash loader (J-Link path).

#include <cstdint>
#include <span>

inline constexpr std::size_t kSecondStageLoaderSize = 5840;
inline constexpr std::size_t kFlashLoaderSize = 1092;

std::span<const std::uint8_t, kSecondStageLoaderSize> SecondStageLoader();
std::span<const std::uint8_t, kFlashLoaderSize> FlashLoader();
