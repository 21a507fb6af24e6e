#pragma once
// Writes a file whole or not at all, trusting nothing that already lies in
// its folder: the bytes go to a new file of a fresh name beside it, created
// exclusively (an existing file or link under that name is never opened),
// which then takes the file's place.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Nothing on success; otherwise the system's reason, and nothing is left behind.
std::optional<std::string> ReplaceFileContents(const std::string& path, const std::vector<std::uint8_t>& bytes);
