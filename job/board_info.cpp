#include "job/board_info.h"

CBoardInfo::CBoardInfo() : image(std::make_unique<FlashImage>()) {}

CBoardInfo::~CBoardInfo() = default;

bool CBoardInfo::Prepare(const std::string& path, const std::string& fileName,
                         const std::string& mac)
{
    image->Empty();
    imagePath = path;
    imageFileName = fileName;
    const bool loaded = image->Load(imagePath);
    // The MAC field sits where flash address 2063 lands in the image.
    macOffset = flashZeroImageOffset + 2063;
    macDestination = loaded ? image->buffer.get() + macOffset : nullptr;
    macText = mac;
    return loaded;
}
