#pragma once
// The whole 128 KiB flash a J-Link job leaves on the board.

#include <cstdint>
#include <string_view>
#include <vector>

// The header, the image with the MAC (grown to the MAC field's end with
// zeros), the rest erased.
std::vector<std::uint8_t> ExpectedJLinkFlash(std::vector<std::uint8_t> image, std::string_view mac);
