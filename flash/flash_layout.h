#pragma once
// The board's flash as both programming paths leave it: "OKOK" and the image
// length at address 0, the image from address 8, the MAC field at image
// offset 2055.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

using MacBytes = std::array<std::uint8_t, 8>;  // least significant byte first

inline constexpr std::uint32_t kFlashSize = 0x20000;
inline constexpr std::uint32_t kHeaderSize = 8;
// The largest image that fits behind the header (8 + length < flash size).
inline constexpr std::uint32_t kMaxImageLength = kFlashSize - kHeaderSize - 1;  // 131063
inline constexpr std::uint32_t kMacOffset = 2055;  // image offset of the MAC field
inline constexpr char kDefaultMacText[] = "0050C20000000000";

bool ImageFitsFlash(std::uint64_t length);
// The message for an image that does not fit (shown before the board is touched).
std::string ImageTooLongMessage(std::uint64_t length);

// "OKOK" followed by the length, 32-bit little-endian.
std::array<std::uint8_t, kHeaderSize> MakeFlashHeader(std::uint32_t length);
