// Any bytes as a GIF. Taking them apart must stay inside the data (the
// address sanitizer sees a stray read), count the frames it splits, and give
// frames that are well-formed one-frame GIFs which split again into
// themselves with the same position, size, delay and disposal.

#include "pictures/gif_blocks.h"
#include "pictures/gif_frames.h"

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>

namespace {

// Every block from the first on is measured inside the data.
void WalkBlocks(GifBytes data)
{
    const auto screen = ReadGifScreen(data);
    if (!screen)
        return;
    FUZZ_CHECK(screen->FirstBlockOffset() <= data.size());
    std::size_t offset = screen->FirstBlockOffset();
    while (const auto length = GifBlockLength(data, offset)) {
        FUZZ_CHECK(*length > 0);
        FUZZ_CHECK(*length <= data.size() - offset);
        FUZZ_CHECK(GifBlockAt(data, offset) != GifBlock::Unrecognised);
        offset += *length;
    }
}

void CheckFrame(const GifFrame& frame)
{
    const GifBytes gif(frame.gif);
    FUZZ_CHECK(StartsWithGifSignature(gif));
    FUZZ_CHECK(!frame.gif.empty() && frame.gif.back() == 0x3B);
    FUZZ_CHECK(CountGifFrames(gif) == 1);
    const auto again = SplitGifFrames(gif);
    FUZZ_CHECK(again.size() == 1);
    const GifFrame& same = again.front();
    FUZZ_CHECK(same.gif == frame.gif);
    FUZZ_CHECK(same.left == frame.left && same.top == frame.top);
    FUZZ_CHECK(same.width == frame.width && same.height == frame.height);
    FUZZ_CHECK(same.delay == frame.delay && same.disposal == frame.disposal);
    FUZZ_CHECK(same.hasControl == frame.hasControl);
    FUZZ_CHECK(GifFrameDelayMs(frame.delay) >= 50);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const GifBytes data(bytes, size);
    WalkBlocks(data);
    const auto frames = SplitGifFrames(data);
    FUZZ_CHECK(frames.size() == CountGifFrames(data));
    for (const GifFrame& frame : frames)
        CheckFrame(frame);
    return 0;
}
