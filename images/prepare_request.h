#pragma once
// Reads a job's image into its request record.

#include "images/image_problem.h"
#include "job/board_info.h"

#include <string>

// Stores the request and reads the image. Returns what the load came to, for
// the caller to show: a job must not run when the image is not in memory.
ImageLoad PrepareRequest(CBoardInfo& request, const std::string& path,
                         const std::string& fileName, const std::string& mac);
