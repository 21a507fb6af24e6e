#include "data/target_code.h"

extern const unsigned char kSecondStageLoaderBytes[kSecondStageLoaderSize];
extern const unsigned char kFlashLoaderBytes[kFlashLoaderSize];

std::span<const std::uint8_t, kSecondStageLoaderSize> SecondStageLoader()
{
    return std::span<const std::uint8_t, kSecondStageLoaderSize>(kSecondStageLoaderBytes,
                                                                 kSecondStageLoaderSize);
}

std::span<const std::uint8_t, kFlashLoaderSize> FlashLoader()
{
    return std::span<const std::uint8_t, kFlashLoaderSize>(kFlashLoaderBytes, kFlashLoaderSize);
}
