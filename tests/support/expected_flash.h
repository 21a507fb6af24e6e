#pragma once
// The whole 128 KiB flash a programming job leaves on the board: "OKOK" and
// the length, the image from address 8 with the MAC at image offset 2055,
// the rest erased. Written out here byte by byte, apart from the code under
// test.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The serial job programs the image's own bytes: only the MAC bytes that
// fall inside the image reach the flash.
std::vector<std::uint8_t> ExpectedSerialFlash(std::vector<std::uint8_t> image, std::string_view mac);
std::vector<std::uint8_t> ExpectedSerialFlash(std::span<const std::uint8_t> image,
                                              std::string_view mac);
// The image file loaded as a job loads it.
std::vector<std::uint8_t> ExpectedSerialFlashOfFile(const std::string& imagePath, std::string_view mac);

// A J-Link job first grows a short image with zeros to the MAC field's end.
std::vector<std::uint8_t> ExpectedJLinkFlash(std::vector<std::uint8_t> image, std::string_view mac);
