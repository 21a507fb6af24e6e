#include "pictures/gif_blocks.h"

namespace {

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr std::size_t kScreenHeaderSize = 13;

// Fixed part of each block before its sub-block chain.
constexpr std::size_t kApplicationFixed = 14;
constexpr std::size_t kCommentFixed = 2;
constexpr std::size_t kGraphicControlLength = 8;
constexpr std::size_t kPlainTextFixed = 15;
constexpr std::size_t kImageDescriptorFixed = 11;  // descriptor and LZW code size

std::size_t ColorTableSize(std::uint8_t packed) {
    if ((packed & 0x80) == 0) return 0;
    return 3u << ((packed & 0x07) + 1);
}

// Length of a chain of length-prefixed sub-blocks ended by a zero byte,
// counting every length byte and the terminator.
std::optional<std::size_t> SubBlockChainLength(GifBytes data, std::size_t offset) {
    std::size_t position = offset;
    while (position < data.size()) {
        const std::size_t count = data[position];
        position += 1 + count;
        if (count == 0) return position - offset;
    }
    return std::nullopt;
}

std::optional<std::size_t> WithChain(GifBytes data, std::size_t offset, std::size_t fixed) {
    if (fixed > data.size() - offset) return std::nullopt;
    const auto chain = SubBlockChainLength(data, offset + fixed);
    if (!chain) return std::nullopt;
    return fixed + *chain;
}

std::optional<std::size_t> ImageDescriptorLength(GifBytes data, std::size_t offset) {
    if (data.size() - offset < 10) return std::nullopt;
    const std::size_t table = ColorTableSize(data[offset + 9]);
    return WithChain(data, offset, kImageDescriptorFixed + table);
}

}  // namespace

bool StartsWithGifSignature(GifBytes data) {
    return data.size() >= 3 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F';
}

std::optional<GifScreen> ReadGifScreen(GifBytes data) {
    if (!StartsWithGifSignature(data) || data.size() < kScreenHeaderSize) return std::nullopt;
    GifScreen screen;
    screen.width = GifWord(data, 6);
    screen.height = GifWord(data, 8);
    screen.globalTableSize = ColorTableSize(data[10]);
    if (screen.FirstBlockOffset() > data.size()) return std::nullopt;
    return screen;
}

GifBlock GifBlockAt(GifBytes data, std::size_t offset) {
    if (offset >= data.size()) return GifBlock::Unrecognised;
    switch (data[offset]) {
    case kImageSeparator: return GifBlock::ImageDescriptor;
    case kTrailer: return GifBlock::Trailer;
    case kExtensionIntroducer: break;
    default: return GifBlock::Unrecognised;
    }
    if (offset + 1 >= data.size()) return GifBlock::Unrecognised;
    switch (data[offset + 1]) {
    case 0xFF: return GifBlock::ApplicationExtension;
    case 0xFE: return GifBlock::CommentExtension;
    case 0xF9: return GifBlock::GraphicControlExtension;
    case 0x01: return GifBlock::PlainTextExtension;
    default: return GifBlock::Unrecognised;
    }
}

std::optional<std::size_t> GifBlockLength(GifBytes data, std::size_t offset) {
    std::optional<std::size_t> length;
    switch (GifBlockAt(data, offset)) {
    case GifBlock::ApplicationExtension: length = WithChain(data, offset, kApplicationFixed); break;
    case GifBlock::CommentExtension: length = WithChain(data, offset, kCommentFixed); break;
    case GifBlock::GraphicControlExtension: length = kGraphicControlLength; break;
    case GifBlock::PlainTextExtension: length = WithChain(data, offset, kPlainTextFixed); break;
    case GifBlock::ImageDescriptor: length = ImageDescriptorLength(data, offset); break;
    case GifBlock::Trailer: length = 1; break;
    case GifBlock::Unrecognised: return std::nullopt;
    }
    if (!length || *length > data.size() - offset) return std::nullopt;
    return length;
}
