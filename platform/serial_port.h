#pragma once
// The board's serial port as the programming job sees it: write, bounded
// reads, bytes waiting, close. One worker thread uses a port at a time.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

class ISerialPort {
public:
    virtual ~ISerialPort() = default;

    // Writes every byte; false when the port failed (for example unplugged).
    virtual bool Write(std::span<const std::uint8_t> bytes) = 0;

    // Waits until at least `count` bytes are waiting or `wait` has passed and
    // returns how many are waiting then; nothing when the port failed.
    virtual std::optional<std::size_t> WaitForBytes(std::size_t count,
                                                    std::chrono::microseconds wait) = 0;

    // The number of bytes waiting now; nothing when the port failed.
    virtual std::optional<std::size_t> BytesWaiting() = 0;

    // Reads up to `into.size()` bytes, waiting at most `wait` for all of them
    // to arrive; returns how many were read, nothing when the port failed.
    virtual std::optional<std::size_t> Read(std::span<std::uint8_t> into,
                                            std::chrono::microseconds wait) = 0;

    virtual void Close() = 0;
};

// Why the last open failed, for the user.
enum class PortOpenFailure {
    None,
    NoSuchDevice,
    PermissionDenied,
    Busy,
    NotASerialPort,
    Other,
};

struct PortOpenError {
    PortOpenFailure reason = PortOpenFailure::None;
    std::string detail;  // the system's own words, when it gave any
};

class ISerialPortFactory {
public:
    virtual ~ISerialPortFactory() = default;

    // Opens and configures the port: a kernel tty name (ttyUSB0) or a path.
    // Null when it cannot be opened; LastOpenError then says why.
    virtual std::unique_ptr<ISerialPort> Open(const std::string& name) = 0;

    virtual PortOpenError LastOpenError() const = 0;
};

// A sentence for the user about an open failure, with what to do about it.
std::string DescribeOpenError(const PortOpenError& error);
