#pragma once
// Recognising the blocks of a GIF data stream and measuring them, without
// ever reading past the end of the data.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

using GifBytes = std::span<const std::uint8_t>;

enum class GifBlock {
    ApplicationExtension,
    CommentExtension,
    GraphicControlExtension,
    PlainTextExtension,
    ImageDescriptor,
    Trailer,
    Unrecognised,  // includes a block that starts at or beyond the end
};

// What the header and the logical screen descriptor say.
struct GifScreen {
    int width = 0;
    int height = 0;
    std::size_t globalTableSize = 0;  // bytes of the global color table, 0 without one
    // Offset of the first block: header, screen descriptor and global table.
    std::size_t FirstBlockOffset() const { return 13 + globalTableSize; }
};

// Only the signature counts; the version bytes may say anything.
bool StartsWithGifSignature(GifBytes data);

// Nothing when the data is too short for the header, the screen descriptor
// and the global color table it announces.
std::optional<GifScreen> ReadGifScreen(GifBytes data);

GifBlock GifBlockAt(GifBytes data, std::size_t offset);

// The whole block's length including its sub-blocks, or nothing when the
// block is unrecognised or would pass the end of the data.
std::optional<std::size_t> GifBlockLength(GifBytes data, std::size_t offset);

// 16-bit little-endian value; the caller has checked the bounds.
inline int GifWord(GifBytes data, std::size_t offset) {
    return data[offset] | (data[offset + 1] << 8);
}
