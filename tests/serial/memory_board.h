#pragma once
// The simulated board on an in-memory cable, for unit tests of the job:
// what the job writes goes straight to the board model, and what the board
// answers can be read once its busy time has passed.

#include "platform/serial_port.h"
#include "sim/board_model.h"
#include "sim/nor_flash.h"
#include "sim/sim_options.h"

#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

class MemoryBoard {
public:
    using Clock = std::chrono::steady_clock;

    explicit MemoryBoard(SimOptions options);

    // No line, erase or write time.
    static SimOptions FastOptions();

    // Everything the job wrote, one entry per write.
    std::vector<std::vector<std::uint8_t>> Writes() const;
    std::vector<std::uint8_t> Flash() const;
    int Opens() const;

private:
    friend class MemoryPort;
    friend class MemoryPortFactory;
    struct Timed {
        Clock::time_point at;
        std::uint8_t byte;
    };

    bool Write(int generation, std::span<const std::uint8_t> bytes);
    std::optional<std::size_t> Available(int generation);
    std::optional<std::size_t> Take(int generation, std::span<std::uint8_t> into);
    std::optional<int> Open();  // the port's generation, nothing while unplugged
    void Release(int generation);
    void Unplug();

    mutable std::mutex mutex;
    SimOptions options;
    NorFlash flash;
    BoardModel model;
    std::deque<Timed> inbox;
    std::vector<std::vector<std::uint8_t>> writes;
    int generation = 0;  // changes on every unplug: old ports are dead
    bool held = false;
    bool unpluggedOnce = false;
    std::optional<Clock::time_point> replugAt;
    int opens = 0;
};

class MemoryPortFactory final : public ISerialPortFactory {
public:
    explicit MemoryPortFactory(MemoryBoard& board) : board(board) {}
    std::unique_ptr<ISerialPort> Open(const std::string& name) override;
    PortOpenError LastOpenError() const override { return lastError; }

private:
    MemoryBoard& board;
    PortOpenError lastError;
};
