#pragma once
// The board's 128 KiB NOR flash: an erase sets every bit, a write can only
// clear bits.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class NorFlash {
public:
    static constexpr std::uint32_t kSize = 0x20000;

    // A board fresh from the factory holds an old firmware, not blank flash,
    // so that a missing erase shows in the result.
    NorFlash();

    void Erase();
    // False when the write would run past the end; nothing is written then.
    bool Write(std::uint32_t address, std::span<const std::uint8_t> bytes);
    // Written beside the target first, so a reader never sees half a flash.
    bool Save(const std::string& path) const;

    const std::vector<std::uint8_t>& Bytes() const { return bytes; }

private:
    std::vector<std::uint8_t> bytes;
};
