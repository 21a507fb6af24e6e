#pragma once
// An image as a job programs it: the 128 KiB block it was read into, and how
// many of its bytes are the image.

#include <cstdint>
#include <memory>
#include <span>

struct ImageBlock {
    std::unique_ptr<std::uint8_t[]> buffer;  // null until an image is in memory
    std::uint32_t length = 0;

    std::span<const std::uint8_t> Bytes() const { return {buffer.get(), buffer ? length : 0}; }
};
