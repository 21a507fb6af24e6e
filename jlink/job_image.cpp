#include "jlink/job_image.h"

#include <algorithm>

std::vector<std::uint8_t> MakeJobImage(std::span<const std::uint8_t> image, const MacBytes& mac)
{
    std::vector<std::uint8_t> bytes(image.begin(), image.end());
    // The load block past the image's end is not part of the image: the
    // grown bytes are zero, whatever the block holds there.
    bytes.resize(std::max<std::size_t>(bytes.size(), kMacOffset + mac.size()), 0);
    std::copy(mac.begin(), mac.end(), bytes.begin() + kMacOffset);
    return bytes;
}
