#pragma once
// Serial ports on Windows: COMn opened through the device namespace, which
// grants one handle at a time, at 115200 8N1 with RTS held asserted.

#include "platform/serial_port.h"

#include <mutex>

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
    HANDLE handle;
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
