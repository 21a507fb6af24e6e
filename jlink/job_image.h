#pragma once
// The bytes the J-Link job programs: the loaded image with the node's MAC at
// image offset 2055. For a raw image these are the file's bytes; for an
// S-record image the binary it describes, never its text.

#include "images/flash_layout.h"

#include <cstdint>
#include <vector>

class FlashImage;

// An image shorter than the MAC field's end grows to 2063 bytes, zero-filled
// between its end and the field. The image must have loaded.
std::vector<std::uint8_t> MakeJobImage(const FlashImage& image, const MacBytes& mac);
