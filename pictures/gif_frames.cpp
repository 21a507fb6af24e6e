#include "pictures/gif_frames.h"

namespace {

constexpr std::uint8_t kTrailerByte = 0x3B;
constexpr unsigned kShortestDelay = 5;       // hundredths
constexpr unsigned kStretchedDelayMs = 100;

bool Skip(GifBytes data, std::size_t& offset) {
    const auto length = GifBlockLength(data, offset);
    if (!length) return false;
    offset += *length;
    return true;
}

bool IsMetadata(GifBlock block) {
    return block == GifBlock::ApplicationExtension || block == GifBlock::CommentExtension;
}

bool IsGraphic(GifBlock block) {
    return block == GifBlock::ImageDescriptor || block == GifBlock::PlainTextExtension;
}

void ReadControl(GifBytes data, std::size_t offset, GifFrameBlocks& frame) {
    frame.hasControl = true;
    frame.disposal = (data[offset + 3] >> 2) & 0x07;
    frame.delay = static_cast<unsigned>(GifWord(data, offset + 4));
}

void ReadDescriptor(GifBytes data, std::size_t offset, GifFrameBlocks& frame) {
    frame.left = GifWord(data, offset + 1);
    frame.top = GifWord(data, offset + 3);
    frame.width = GifWord(data, offset + 5);
    frame.height = GifWord(data, offset + 7);
}

// Passes over whatever lies between a control extension and its graphic.
bool SkipToGraphic(GifBytes data, std::size_t& offset) {
    for (;;) {
        const GifBlock block = GifBlockAt(data, offset);
        if (IsGraphic(block)) return true;
        if (block == GifBlock::Trailer || !Skip(data, offset)) return false;
    }
}

}  // namespace

std::optional<GifFrameBlocks> NextGifFrame(GifBytes data, std::size_t& offset) {
    std::size_t position = offset;
    while (IsMetadata(GifBlockAt(data, position))) {
        if (!Skip(data, position)) return std::nullopt;
    }
    GifFrameBlocks frame;
    frame.begin = position;
    if (GifBlockAt(data, position) == GifBlock::GraphicControlExtension) {
        if (!GifBlockLength(data, position)) return std::nullopt;
        ReadControl(data, position, frame);
        if (!Skip(data, position) || !SkipToGraphic(data, position)) return std::nullopt;
    }
    const GifBlock graphic = GifBlockAt(data, position);
    if (!IsGraphic(graphic)) return std::nullopt;
    const std::size_t graphicStart = position;
    if (!Skip(data, position)) return std::nullopt;
    if (graphic == GifBlock::ImageDescriptor) ReadDescriptor(data, graphicStart, frame);
    frame.end = position;
    offset = position;
    return frame;
}

std::size_t CountGifFrames(GifBytes data) {
    const auto screen = ReadGifScreen(data);
    if (!screen) return 0;
    std::size_t offset = screen->FirstBlockOffset();
    std::size_t count = 0;
    while (NextGifFrame(data, offset)) ++count;
    return count;
}

std::vector<std::uint8_t> BuildOneFrameGif(GifBytes data, const GifScreen& screen,
                                           const GifFrameBlocks& frame) {
    const std::size_t head = screen.FirstBlockOffset();
    std::vector<std::uint8_t> gif;
    gif.reserve(head + (frame.end - frame.begin) + 1);
    gif.insert(gif.end(), data.begin(), data.begin() + head);
    gif.insert(gif.end(), data.begin() + frame.begin, data.begin() + frame.end);
    gif.push_back(kTrailerByte);
    return gif;
}

std::vector<GifFrame> SplitGifFrames(GifBytes data) {
    std::vector<GifFrame> frames;
    const auto screen = ReadGifScreen(data);
    if (!screen) return frames;
    std::size_t offset = screen->FirstBlockOffset();
    while (const auto blocks = NextGifFrame(data, offset)) {
        GifFrame frame;
        frame.gif = BuildOneFrameGif(data, *screen, *blocks);
        frame.left = blocks->left;
        frame.top = blocks->top;
        frame.width = blocks->width;
        frame.height = blocks->height;
        frame.delay = blocks->delay;
        frame.disposal = blocks->disposal;
        frame.hasControl = blocks->hasControl;
        frames.push_back(std::move(frame));
    }
    return frames;
}

unsigned GifFrameDelayMs(unsigned delayHundredths) {
    if (delayHundredths < kShortestDelay) return kStretchedDelayMs;
    return delayHundredths * 10;
}
