#pragma once
// Paths are UTF-8 text everywhere inside the program. Given a plain narrow
// string, the standard library reads a path in the system's code page on
// Windows, which loses every character outside it; these hand paths to it,
// and take them back, as UTF-8 on every system.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

inline std::filesystem::path PathOfText(std::string_view utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string TextOfPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// std::fopen with a UTF-8 path. An "x" after "w" creates the file
// exclusively on every system: an existing file of that name is never opened.
std::FILE* OpenFile(const std::string& utf8Path, const char* mode);
