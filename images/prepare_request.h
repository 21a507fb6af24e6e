#pragma once
// Reads a job's image into its request record.

#include "job/board_info.h"

#include <string>

// Stores the request and reads the image (which shows its own message on
// failure). Returns whether the image is in memory: a job must not run when
// it is not.
bool PrepareRequest(CBoardInfo& request, const std::string& path, const std::string& fileName,
                    const std::string& mac);
