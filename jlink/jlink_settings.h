#pragma once
// What a J-Link job needs from its surroundings: where the tool and the
// temporary folder are, how long the tool may run, how to start it, and where
// the job's diagnostics go.

#include "platform/process.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct JLinkSettings {
    std::string programFolder;  // the tool is jlink/JLinkExe below it
    std::string toolPath;       // when not empty, the tool to run instead
    std::string tempFolder;     // holds the work folder, the image copy and jlink.log
    std::chrono::milliseconds toolTimeLimit{300000};
    // How long one read of the tool's output waits before the reader looks
    // whether the tool has ended.
    std::chrono::milliseconds readWait{100};
    ProcessStarter startProcess;
    std::vector<std::string> toolEnvironment;  // "NAME=value" added for the tool
    // The job's diagnostics: what it does and why it failed. Standard output
    // when not set.
    std::function<void(std::string_view)> diagnostics;
};
