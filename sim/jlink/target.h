#pragma once
// The chip as the stand-in sees it: RAM the tool can write, a 128 KiB flash
// that only the flash loader reaches, and the loader's command block.
//
// The loader is recognised by its bytes: "g" with the program counter at the
// load address runs it only when the RAM there holds the build's flash
// loader. It then works through the command block: an erase request with the
// right key erases the whole flash; a write request copies the data buffer
// into the flash, which, like real flash, can only clear bits.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class SimulatedTarget {
public:
    static constexpr std::uint32_t kRamStart = 0x00400000;
    static constexpr std::uint32_t kRamEnd = 0x00418000;  // one past 0x00417FFF
    static constexpr std::uint32_t kFlashSize = 0x20000;
    static constexpr std::uint32_t kDataBuffer = 0x00416000;
    static constexpr std::uint32_t kCommandBlock = 0x00417000;
    static constexpr std::uint32_t kEraseKey = 0x5E1B7A2C;
    // What the loader leaves at command block + 3 when it refuses a request.
    static constexpr std::uint8_t kBadKey = 0xE1;
    static constexpr std::uint8_t kBadRange = 0xE2;

    SimulatedTarget();

    // False when [address, address + size) is not RAM.
    bool Write(std::uint32_t address, std::span<const std::uint8_t> bytes);
    bool Read(std::uint32_t address, std::uint32_t size, std::vector<std::uint8_t>& bytes) const;

    void SetPC(std::uint32_t address) { pc = address; }
    std::uint32_t PC() const { return pc; }
    // Runs the core until the next halt. Returns whether the flash loader ran.
    bool Go();
    void Halt() { running = false; }
    bool Running() const { return running; }

    std::vector<std::uint8_t>& Flash() { return flash; }

private:
    bool FlashLoaderLoaded() const;
    void RunFlashLoader();
    std::uint32_t Word(std::uint32_t address) const;
    std::uint8_t& Byte(std::uint32_t address) { return ram[address - kRamStart]; }

    std::vector<std::uint8_t> ram;
    std::vector<std::uint8_t> flash;
    std::uint32_t pc = 0;
    bool running = false;
};
