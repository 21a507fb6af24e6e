#include "platform/system_support.h"

std::optional<std::string> WindowsRefusal(const SystemVersion& version)
{
    if (version.major >= 10)
        return std::nullopt;
    return "Quillmark needs Windows 10 (64-bit) or later. This computer runs Windows " +
           std::to_string(version.major) + "." + std::to_string(version.minor) + " (build " +
           std::to_string(version.build) + "), on which it cannot watch for boards or start the J-Link tool.";
}
