#pragma once
// Builds S-record lines with correct byte counts and checksums for tests.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// type 1, 2 or 3 (2, 3 or 4 address bytes).
inline std::string MakeDataRecord(int type, std::uint32_t address,
                                  const std::vector<std::uint8_t>& data)
{
    const int addressBytes = type + 1;
    const unsigned count = static_cast<unsigned>(addressBytes + data.size() + 1);
    unsigned sum = count;
    char text[16];
    std::string line = "S" + std::to_string(type);
    std::snprintf(text, sizeof text, "%02X", count);
    line += text;
    for (int i = addressBytes - 1; i >= 0; --i) {
        const unsigned byte = (address >> (8 * i)) & 0xFF;
        sum += byte;
        std::snprintf(text, sizeof text, "%02X", byte);
        line += text;
    }
    for (std::uint8_t byte : data) {
        sum += byte;
        std::snprintf(text, sizeof text, "%02X", byte);
        line += text;
    }
    std::snprintf(text, sizeof text, "%02X", ~sum & 0xFF);
    return line + text + "\n";
}

inline std::vector<std::uint8_t> Counting(std::size_t count, std::uint8_t first = 0)
{
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

inline const char* kS9 = "S9030000FC\n";
