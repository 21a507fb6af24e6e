#pragma once
// Taking a GIF apart into its frames. Each frame becomes a small stand-alone
// GIF (the original header, screen descriptor and global color table, the
// frame's own blocks, a trailer) that any GIF decoder can read on its own.

#include "pictures/gif_blocks.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Where one frame's blocks lie in the data and what its blocks say.
struct GifFrameBlocks {
    std::size_t begin = 0;  // the control extension, or the image itself
    std::size_t end = 0;    // just past the image descriptor's data
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    unsigned delay = 0;     // hundredths of a second; 0 without a control extension
    unsigned disposal = 0;  // disposal method, 0 without a control extension
    bool hasControl = false;
};

struct GifFrame {
    std::vector<std::uint8_t> gif;  // one-frame GIF
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    unsigned delay = 0;
    unsigned disposal = 0;
    bool hasControl = false;
};

// The frame whose blocks start at `offset` (application and comment
// extensions before it are passed over); `offset` then points past it.
// Nothing at the trailer, at an unrecognised block, or where a block would
// pass the end of the data.
std::optional<GifFrameBlocks> NextGifFrame(GifBytes data, std::size_t& offset);

// Frames in file order up to the first that cannot be read; nothing for
// data that is not a GIF.
std::size_t CountGifFrames(GifBytes data);
std::vector<GifFrame> SplitGifFrames(GifBytes data);

// The stand-alone GIF for one frame of `data`.
std::vector<std::uint8_t> BuildOneFrameGif(GifBytes data, const GifScreen& screen,
                                           const GifFrameBlocks& frame);

// How long a frame stays up. Delays under 5 hundredths are stretched to
// 100 ms: many files carry 0 and mean "a moment", not "no time at all".
unsigned GifFrameDelayMs(unsigned delayHundredths);
