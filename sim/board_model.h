#pragma once
// What the board does with each byte it receives: the ROM bootloader's
// greeting and loader download, then the second-stage loader's erase and
// write commands. Timing of the line is not its business; only how long the
// board itself is busy before it answers.

#include "sim/nor_flash.h"
#include "sim/sim_options.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

// Bytes the board sends after being busy for `delay`.
struct Emission {
    std::chrono::microseconds delay{0};
    std::vector<std::uint8_t> bytes;
};

class BoardModel {
public:
    BoardModel(const SimOptions& options, NorFlash& flash, std::span<const std::uint8_t> loader);

    // Power-on: back to the ROM bootloader, ready to greet once.
    void Reset();

    std::vector<Emission> Feed(std::uint8_t byte);

    SimPhase Phase() const { return phase; }
    // Still in the ROM bootloader: it has not greeted since its last reset.
    bool InRom() const { return state == State::Rom; }

private:
    enum class State { Rom, LengthWord, LoaderBytes, Loader, Silent };

    std::vector<Emission> OnRomByte(std::uint8_t byte);
    std::vector<Emission> Greeting();
    std::vector<Emission> OnLengthByte(std::uint8_t byte);
    std::vector<Emission> OnSecondStageByte(std::uint8_t byte);
    std::vector<Emission> OnCommandByte(std::uint8_t byte);
    std::vector<Emission> Erase();
    std::vector<Emission> Write();

    const SimOptions& options;
    NorFlash& flash;
    std::span<const std::uint8_t> expectedLoader;

    State state = State::Rom;
    SimPhase phase = SimPhase::None;
    std::vector<std::uint8_t> collected;  // length word, loader or command so far
    std::uint32_t loaderLength = 0;
    int packetsReceived = 0;
    unsigned pollsIgnored = 0;  // since the last reset
};
