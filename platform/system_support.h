#pragma once
// The oldest system the programs run on. On Windows that is Windows 10,
// 64-bit: the registry watch needs Windows 8's thread-agnostic
// notifications, and the J-Link tool is started inside its job object
// through a process attribute that Windows 10 brought. On an older system
// those calls fail in ways a user could not make sense of, so the programs
// refuse to start with a message instead.

#include <optional>
#include <string>

struct SystemVersion {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
};

// Why a Windows of `version` is refused; nothing when it is new enough.
std::optional<std::string> WindowsRefusal(const SystemVersion& version);

// Why this machine is refused; nothing on every system we run on.
std::optional<std::string> SystemRefusal();
