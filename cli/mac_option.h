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

// Adds --events to `command`: "json" sets `events` (one JSON object per line
// on standard output; the prose goes to standard error).
void AddEventsOption(CLI::App& command, bool& events);
