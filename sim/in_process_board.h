#pragma once
// The simulated board inside the program, for a machine without
// pseudo-terminals to put it on: the board model behind the serial port
// interface. It keeps what the program would meet on the board's cable: the
// line time of every byte both ways, the board's own busy times, and its
// user's reset after each session, so that the next update is greeted again.
// The cable's own faults (unplugging) are the pseudo-terminal board's alone.

#include "platform/serial_port.h"
#include "sim/board_model.h"
#include "sim/nor_flash.h"
#include "sim/sim_options.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

class InProcessBoard {
public:
    using Clock = std::chrono::steady_clock;

    explicit InProcessBoard(SimOptions options = {});
    InProcessBoard(const InProcessBoard&) = delete;
    InProcessBoard& operator=(const InProcessBoard&) = delete;

    // A session on the board's port; null while another one is open, as a
    // port takes one handle at a time. The port must not outlive the board.
    std::unique_ptr<ISerialPort> Open();

    std::vector<std::uint8_t> Flash() const;

private:
    friend class InProcessPort;
    struct Timed {
        Clock::time_point at;  // when the byte has crossed the line to the host
        std::uint8_t byte;
    };

    // What the port does, on the board's side of the cable.
    void Write(std::span<const std::uint8_t> bytes);
    std::size_t Wait(std::size_t count, std::chrono::microseconds wait);
    std::size_t Take(std::span<std::uint8_t> into, std::chrono::microseconds wait);
    void EndSession();

    void Handle(std::uint8_t byte, Clock::time_point arrived);
    std::size_t WaitForBytes(std::unique_lock<std::mutex>& lock, std::size_t count,
                             std::chrono::microseconds wait);
    std::size_t Arrived(Clock::time_point now) const;

    const SimOptions options;
    mutable std::mutex mutex;
    std::condition_variable changed;
    NorFlash flash;
    BoardModel model;
    bool held = false;
    std::deque<Timed> inbox;
    // When the last byte to the board has crossed the line, and when the
    // board is done with what it was given: busy, then sending its answer.
    Clock::time_point inboundFree;
    Clock::time_point boardFree;
    std::optional<Clock::time_point> resetAt;
};

// The machine's serial ports with the board among them under one name.
class InProcessPortFactory final : public ISerialPortFactory {
public:
    // `others` opens every name but `portName`; both must outlive this.
    InProcessPortFactory(InProcessBoard& board, std::string portName, ISerialPortFactory& others);

    std::unique_ptr<ISerialPort> Open(const std::string& name) override;
    PortOpenError LastOpenError() const override;

private:
    InProcessBoard& board;
    const std::string portName;
    ISerialPortFactory& others;
    mutable std::mutex mutex;
    PortOpenError boardError;
    bool lastWasBoard = false;
};
