#pragma once
// What programming an image puts where, worked out once from the loaded
// image and the MAC: the image with the MAC field in place from address 8,
// then the header at address 0. The header comes last so that a board holds
// "OKOK" only once every image byte is on it. The serial and the J-Link jobs
// carry a plan out; inspect writes out what it leaves on the flash.

#include "flash/flash_layout.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// Bytes for one flash address range; they view the plan that made them.
struct FlashWrite {
    std::uint32_t address = 0;
    std::span<const std::uint8_t> bytes;
};

// What becomes of an image that ends inside the MAC field (below 2063 bytes).
enum class ShortImage {
    // It keeps its length: only the MAC bytes that fall inside it reach the
    // flash. The serial job programs the loaded image as it is.
    KeepLength,
    // It grows with zeros up to the field's end, so the whole MAC reaches the
    // flash and the header states the grown length. The J-Link job programs
    // such a grown copy.
    GrowToMacEnd,
};

class FlashPlan {
public:
    FlashPlan(std::span<const std::uint8_t> image, const MacBytes& mac, ShortImage shortImage);

    // The image as it is programmed: the MAC in place, grown if the plan grows it.
    std::span<const std::uint8_t> Image() const { return image; }
    std::uint32_t ImageLength() const { return static_cast<std::uint32_t>(image.size()); }

    FlashWrite ImageWrite() const { return {kHeaderSize, image}; }
    FlashWrite HeaderWrite() const { return {0, header}; }

    // Every write in the order it must reach the flash, the header last. An
    // empty image has no write of its own.
    std::vector<FlashWrite> Writes() const;

    // The flash from address 0 to the image's end, as the writes leave it.
    std::vector<std::uint8_t> Content() const;

private:
    std::vector<std::uint8_t> image;
    std::array<std::uint8_t, kHeaderSize> header;
};
