#include "sim/jlink/target.h"

#include "data/target_code.h"

#include <algorithm>

SimulatedTarget::SimulatedTarget() : ram(kRamEnd - kRamStart, 0), flash(kFlashSize, 0xFF) {}

bool SimulatedTarget::Write(std::uint32_t address, std::span<const std::uint8_t> bytes)
{
    if (address < kRamStart || std::uint64_t{address} + bytes.size() > kRamEnd)
        return false;
    std::copy(bytes.begin(), bytes.end(), ram.begin() + (address - kRamStart));
    return true;
}

bool SimulatedTarget::Read(std::uint32_t address, std::uint32_t size,
                           std::vector<std::uint8_t>& bytes) const
{
    if (address < kRamStart || std::uint64_t{address} + size > kRamEnd)
        return false;
    const auto begin = ram.begin() + (address - kRamStart);
    bytes.assign(begin, begin + size);
    return true;
}

bool SimulatedTarget::Go()
{
    running = true;
    if (pc != kRamStart || !FlashLoaderLoaded())
        return false;
    RunFlashLoader();
    return true;
}

bool SimulatedTarget::FlashLoaderLoaded() const
{
    const auto loader = FlashLoader();
    return std::equal(loader.begin(), loader.end(), ram.begin());
}

std::uint32_t SimulatedTarget::Word(std::uint32_t address) const
{
    const std::uint32_t at = address - kRamStart;
    return ram[at] | ram[at + 1] << 8 | ram[at + 2] << 16 | std::uint32_t{ram[at + 3]} << 24;
}

void SimulatedTarget::RunFlashLoader()
{
    const std::uint32_t flashAddress = Word(kCommandBlock + 4);
    const std::uint32_t count = Word(kCommandBlock + 8);
    if (Byte(kCommandBlock) == 1) {
        if (Word(kCommandBlock + 12) != kEraseKey) {
            Byte(kCommandBlock + 3) = kBadKey;
            return;
        }
        std::fill(flash.begin(), flash.end(), 0xFF);
        Byte(kCommandBlock) = 0;
    }
    if (Byte(kCommandBlock + 1) == 1) {
        if (count > kCommandBlock - kDataBuffer || std::uint64_t{flashAddress} + count > kFlashSize) {
            Byte(kCommandBlock + 3) = kBadRange;
            return;
        }
        const std::uint8_t* data = &Byte(kDataBuffer);
        for (std::uint32_t i = 0; i < count; ++i)
            flash[flashAddress + i] &= data[i];
        Byte(kCommandBlock + 1) = 0;
    }
}
