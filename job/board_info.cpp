#include "job/board_info.h"

void CBoardInfo::Prepare(const std::string& path, const std::string& fileName,
                         const std::string& mac, ImageBlock loaded)
{
    imagePath = path;
    imageFileName = fileName;
    image = std::move(loaded);
    // The MAC field sits where flash address 2063 lands in the image.
    macOffset = flashZeroImageOffset + 2063;
    macDestination = image.buffer ? image.buffer.get() + macOffset : nullptr;
    macText = mac;
}
