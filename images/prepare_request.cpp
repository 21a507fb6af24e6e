#include "images/prepare_request.h"

#include "images/flash_image.h"

ImageLoad PrepareRequest(CBoardInfo& request, const std::string& path,
                         const std::string& fileName, const std::string& mac)
{
    FlashImage image;
    ImageLoad load = image.Load(path);
    request.Prepare(path, fileName, mac, load ? image.TakeBlock() : ImageBlock{});
    return load;
}
