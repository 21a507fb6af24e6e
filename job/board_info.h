#pragma once
// The request record of one programming job: where to program, what, with
// which MAC, and the last status the job reported. Each job embeds one.

#include "flash/image_block.h"

#include <cstdint>
#include <string>

class CBoardInfo {
public:
    CBoardInfo() = default;
    virtual ~CBoardInfo() = default;
    CBoardInfo(const CBoardInfo&) = delete;
    CBoardInfo& operator=(const CBoardInfo&) = delete;

    // Stores the request with its image, once read (images/prepare_request.h
    // reads it). A job must not run while `image` holds no buffer.
    void Prepare(const std::string& path, const std::string& fileName, const std::string& mac,
                 ImageBlock loaded);

    std::string portName;       // serial jobs only, e.g. ttyUSB0
    std::string imagePath;
    std::string imageFileName;
    std::string macText;
    std::int32_t macOffset = 0;                 // 2055 once prepared
    std::uint8_t* macDestination = nullptr;     // image buffer + macOffset once prepared
    const std::int32_t flashZeroImageOffset = -8;  // image offset of flash address 0
    std::int32_t statusCode = 0;                // written by the job before each status report
    ImageBlock image;
};
