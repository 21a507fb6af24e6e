#pragma once
// Writes a file whole or not at all, trusting nothing that already lies in
// its folder: the bytes go to a new file of a fresh name beside it, created
// exclusively (an existing file or link under that name is never opened),
// which then takes the file's place.

#include <cstdint>
#include <string>
#include <vector>

// Empty on success; otherwise the system's reason, and nothing is left behind.
std::string ReplaceFileContents(const std::string& path, const std::vector<std::uint8_t>& bytes);
