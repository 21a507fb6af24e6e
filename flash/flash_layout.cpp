#include "flash/flash_layout.h"

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
