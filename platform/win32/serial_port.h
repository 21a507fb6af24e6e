#pragma once
// Serial ports on Windows: COMn opened through the device namespace, which
// grants one handle at a time, at 115200 8N1 with RTS held asserted. A wait
// for bytes is a read with the port's time-outs: the driver ends it on the
// last byte's arrival, never on a timer tick.

#include "platform/serial_port.h"

#include <mutex>
#include <vector>

#include <windows.h>

class Win32SerialPort final : public ISerialPort {
public:
    explicit Win32SerialPort(HANDLE handle);
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    bool Write(std::span<const std::uint8_t> bytes) override;
    std::optional<std::size_t> WaitForBytes(std::size_t count,
                                            std::chrono::microseconds wait) override;
    std::optional<std::size_t> BytesWaiting() override;
    std::optional<std::size_t> Read(std::span<std::uint8_t> into,
                                    std::chrono::microseconds wait) override;
    void Close() override;

private:
    bool Take(std::size_t count, std::chrono::microseconds wait);

    HANDLE handle;
    // Read time-out in force, in milliseconds: changed only when a wait
    // needs another, since each change is a call into the driver.
    DWORD timeouts = 0;
    // Taken from the driver by a wait, not yet read by the job.
    std::vector<std::uint8_t> taken;
};

class Win32SerialPortFactory final : public ISerialPortFactory {
public:
    std::unique_ptr<ISerialPort> Open(const std::string& name) override;
    PortOpenError LastOpenError() const override;

    // COM12 names \\.\COM12; anything with a separator or a drive is a path.
    static std::string DevicePath(const std::string& name);

private:
    std::unique_ptr<ISerialPort> Fail(PortOpenFailure reason, DWORD error, HANDLE handle);

    mutable std::mutex mutex;  // the worker opens, the user's thread reads the reason
    PortOpenError lastError;
};
