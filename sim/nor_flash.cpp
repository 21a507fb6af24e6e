#include "sim/nor_flash.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

NorFlash::NorFlash() : bytes(kSize)
{
    std::uint32_t state = 0x1234567u;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
}

void NorFlash::Erase() { std::fill(bytes.begin(), bytes.end(), 0xFF); }

bool NorFlash::Write(std::uint32_t address, std::span<const std::uint8_t> data)
{
    if (address > kSize || data.size() > kSize - address)
        return false;
    for (std::size_t i = 0; i < data.size(); ++i)
        bytes[address + i] &= data[i];
    return true;
}

bool NorFlash::Save(const std::string& path) const
{
    const std::string partial = path + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
            return false;
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    return !error;
}
