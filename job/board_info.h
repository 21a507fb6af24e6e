#pragma once
// The request record of one programming job: where to program, what, with
// which MAC, and the last status the job reported. Each job embeds one.

#include "images/flash_image.h"

#include <cstdint>
#include <memory>
#include <string>

class CBoardInfo {
public:
    CBoardInfo();
    virtual ~CBoardInfo();
    CBoardInfo(const CBoardInfo&) = delete;
    CBoardInfo& operator=(const CBoardInfo&) = delete;

    // Stores the request and loads the image (which shows its own message on
    // failure). Returns whether the image is in memory: a job must not run
    // when it is not.
    bool Prepare(const std::string& path, const std::string& fileName, const std::string& mac);

    std::string portName;       // serial jobs only, e.g. ttyUSB0
    std::string imagePath;
    std::string imageFileName;
    std::string macText;
    std::int32_t macOffset = 0;                 // 2055 once prepared
    std::uint8_t* macDestination = nullptr;     // image buffer + macOffset once prepared
    const std::int32_t flashZeroImageOffset = -8;  // image offset of flash address 0
    std::int32_t statusCode = 0;                // written by the job before each status report
    std::unique_ptr<FlashImage> image;
};
