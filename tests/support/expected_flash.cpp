#include "support/expected_flash.h"

#include "images/flash_layout.h"
#include "serial/mac_address.h"

#include <algorithm>

std::vector<std::uint8_t> ExpectedJLinkFlash(std::vector<std::uint8_t> image, std::string_view mac)
{
    if (image.size() < kMacOffset + 8)
        image.resize(kMacOffset + 8, 0);
    const MacBytes bytes = MacTextToBytes(mac);
    std::copy(bytes.begin(), bytes.end(), image.begin() + kMacOffset);
    const auto header = MakeFlashHeader(static_cast<std::uint32_t>(image.size()));
    std::vector<std::uint8_t> flash(kFlashSize, 0xFF);
    std::copy(header.begin(), header.end(), flash.begin());
    std::copy(image.begin(), image.end(), flash.begin() + kHeaderSize);
    return flash;
}
