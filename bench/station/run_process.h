#pragma once
// Runs a program of the build the way a production line's script would.

#include <string>
#include <vector>

// Runs `argv` with its output (both streams) in `log`; its exit code, or -1.
int RunProcess(std::vector<std::string> argv, const std::string& log);
