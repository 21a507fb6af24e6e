#include "support/expected_flash.h"

#include "flash/flash_layout.h"
#include "images/flash_image.h"
#include "job/mac_address.h"

#include <gtest/gtest.h>

#include <algorithm>

std::vector<std::uint8_t> ExpectedSerialFlash(std::vector<std::uint8_t> image, std::string_view mac)
{
    const MacBytes bytes = MacTextToBytes(mac);
    for (std::size_t i = 0; i < bytes.size() && kMacOffset + i < image.size(); ++i)
        image[kMacOffset + i] = bytes[i];
    const auto length = static_cast<std::uint32_t>(image.size());
    std::vector<std::uint8_t> flash{'O', 'K', 'O', 'K'};
    for (int shift = 0; shift < 32; shift += 8)
        flash.push_back(static_cast<std::uint8_t>(length >> shift));
    flash.insert(flash.end(), image.begin(), image.end());
    flash.resize(kFlashSize, 0xFF);
    return flash;
}

std::vector<std::uint8_t> ExpectedSerialFlash(std::span<const std::uint8_t> image,
                                              std::string_view mac)
{
    return ExpectedSerialFlash(std::vector<std::uint8_t>(image.begin(), image.end()), mac);
}

std::vector<std::uint8_t> ExpectedSerialFlashOfFile(const std::string& imagePath, std::string_view mac)
{
    FlashImage image;
    EXPECT_TRUE(image.Load(imagePath)) << imagePath;
    return ExpectedSerialFlash(image.Bytes(), mac);
}

std::vector<std::uint8_t> ExpectedJLinkFlash(std::vector<std::uint8_t> image, std::string_view mac)
{
    if (image.size() < kMacOffset + 8)
        image.resize(kMacOffset + 8, 0);
    return ExpectedSerialFlash(std::move(image), mac);
}
