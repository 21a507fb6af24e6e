#pragma once
// SHA-256 (FIPS 180-4), so that every record of a board names the exact
// image it received, comparable with what `sha256sum` prints.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

class Sha256 {
public:
    Sha256();
    void Update(std::span<const std::uint8_t> bytes);
    // The digest as 64 lower-case hexadecimal digits. Ends the hash: start a
    // new object for the next one.
    std::string HexDigest();

private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state;
    std::array<std::uint8_t, 64> pending{};
    std::size_t pendingLength = 0;
    std::uint64_t totalLength = 0;
};

std::string Sha256Hex(std::span<const std::uint8_t> bytes);

// The digest of the file's bytes; nothing when it cannot be read.
std::optional<std::string> Sha256OfFile(const std::string& path);
