#include "flash/flash_plan.h"

#include <algorithm>

namespace {

std::vector<std::uint8_t> ImageWithMac(std::span<const std::uint8_t> loaded, const MacBytes& mac,
                                       ShortImage shortImage)
{
    std::vector<std::uint8_t> image(loaded.begin(), loaded.end());
    // Whatever the load block holds past the image's end is not the image:
    // grown bytes are zero.
    if (shortImage == ShortImage::GrowToMacEnd)
        image.resize(std::max<std::size_t>(image.size(), kMacOffset + mac.size()), 0);
    for (std::size_t i = 0; i < mac.size() && kMacOffset + i < image.size(); ++i)
        image[kMacOffset + i] = mac[i];
    return image;
}

}  // namespace

FlashPlan::FlashPlan(std::span<const std::uint8_t> loaded, const MacBytes& mac,
                     ShortImage shortImage)
    : image(ImageWithMac(loaded, mac, shortImage)), header(MakeFlashHeader(ImageLength()))
{
}

std::vector<FlashWrite> FlashPlan::Writes() const
{
    std::vector<FlashWrite> writes;
    if (!image.empty())
        writes.push_back(ImageWrite());
    writes.push_back(HeaderWrite());
    return writes;
}

std::vector<std::uint8_t> FlashPlan::Content() const
{
    std::vector<std::uint8_t> flash(kHeaderSize + image.size());
    for (const FlashWrite& write : Writes())
        std::copy(write.bytes.begin(), write.bytes.end(), flash.begin() + write.address);
    return flash;
}
