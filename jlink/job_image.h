#pragma once
// The bytes the J-Link job programs: the loaded image with the node's MAC at
// image offset 2055. For a raw image these are the file's bytes; for an
// S-record image the binary it describes, never its text.

#include "flash/flash_layout.h"

#include <cstdint>
#include <span>
#include <vector>

// An image shorter than the MAC field's end grows to 2063 bytes, zero-filled
// between its end and the field.
std::vector<std::uint8_t> MakeJobImage(std::span<const std::uint8_t> image, const MacBytes& mac);
