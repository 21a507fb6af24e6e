#include "images/prepare_request.h"

#include "images/flash_image.h"

bool PrepareRequest(CBoardInfo& request, const std::string& path, const std::string& fileName,
                    const std::string& mac)
{
    FlashImage image;
    const bool loaded = image.Load(path);
    request.Prepare(path, fileName, mac, loaded ? image.TakeBlock() : ImageBlock{});
    return loaded;
}
