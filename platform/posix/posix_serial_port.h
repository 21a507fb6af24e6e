#pragma once
// Serial ports on Linux: an exclusive claim on the device, raw 115200 8N1,
// and waits that wake as soon as the awaited bytes are in.

#include "platform/serial_port.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

class PosixSerialPort final : public ISerialPort {
public:
    explicit PosixSerialPort(int fd);
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    bool Write(std::span<const std::uint8_t> bytes) override;
    std::optional<std::size_t> WaitForBytes(std::size_t count,
                                            std::chrono::microseconds wait) override;
    std::optional<std::size_t> BytesWaiting() override;
    std::optional<std::size_t> Read(std::span<std::uint8_t> into,
                                    std::chrono::microseconds wait) override;
    void Close() override;

private:
    bool TakeAvailable();
    bool WaitReadable(std::chrono::steady_clock::time_point deadline);
    bool WaitWritable(std::chrono::steady_clock::time_point deadline);
    bool HungUp();

    int fd;
    // Bytes already taken from the device but not yet read by the caller:
    // waiting for a count needs them out of the way of poll().
    std::vector<std::uint8_t> pending;
};

class PosixSerialPortFactory final : public ISerialPortFactory {
public:
    std::unique_ptr<ISerialPort> Open(const std::string& name) override;
    PortOpenError LastOpenError() const override;

    // ttyUSB0 names /dev/ttyUSB0; anything with a slash is a path.
    static std::string DevicePath(const std::string& name);

    // Makes `name` open the device at `path` (a simulated board's link, shown
    // to the user under a short tty name).
    void AddPortAlias(const std::string& name, const std::string& path);

private:
    std::unique_ptr<ISerialPort> Fail(PortOpenFailure reason, int error, int fd);

    mutable std::mutex mutex;  // the worker opens, the user's thread reads the reason
    PortOpenError lastError;
    std::map<std::string, std::string> aliases;
};
