#pragma once
// A fresh folder under the temporary folder, removed with everything in it
// when the test ends.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path; }
    std::string operator/(std::string_view name) const { return (path / name).string(); }

    // Writes a file below the folder and returns its full path.
    std::string Write(std::string_view name, std::string_view text) const;
    std::string Write(std::string_view name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::filesystem::path path;
};

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
// The whole file as text; empty when it cannot be read.
std::string ReadFileText(const std::string& path);
// Deterministic pseudo-random bytes for test images.
std::vector<std::uint8_t> RandomBytes(std::size_t count, std::uint32_t seed);
