#include "flash/flash_layout.h"

#include <algorithm>

bool ImageFitsFlash(std::uint64_t length) { return length <= kMaxImageLength; }

std::string ImageTooLongMessage(std::uint64_t length)
{
    return "ERROR: The image is " + std::to_string(length) + " bytes long; at most " +
           std::to_string(kMaxImageLength) + " bytes fit in the flash behind its 8-byte header!";
}

std::array<std::uint8_t, kHeaderSize> MakeFlashHeader(std::uint32_t length)
{
    return {'O', 'K', 'O', 'K', static_cast<std::uint8_t>(length),
            static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length >> 16),
            static_cast<std::uint8_t>(length >> 24)};
}

std::vector<std::uint8_t> BuildFlashContent(std::span<const std::uint8_t> image,
                                            const MacBytes& mac)
{
    const auto length = static_cast<std::uint32_t>(image.size());
    std::vector<std::uint8_t> flash(kHeaderSize + length);
    const auto header = MakeFlashHeader(length);
    std::copy(header.begin(), header.end(), flash.begin());
    std::copy(image.begin(), image.end(), flash.begin() + kHeaderSize);
    // The MAC field is written into the block, so only what the image reaches is programmed.
    for (std::uint32_t i = 0; i < mac.size() && kMacOffset + i < length; ++i)
        flash[kHeaderSize + kMacOffset + i] = mac[i];
    return flash;
}
