#pragma once
// The --mac option shared by the commands that program or lay out an image.

#include <string>

namespace CLI {
class App;
}

// Adds --mac to `command`; a valid value (16 hexadecimal digits, or 10 that
// follow 0050C2) is stored in `mac` as 16 upper-case digits, anything else
// is a usage error with a clear message.
void AddMacOption(CLI::App& command, std::string& mac);
