#include "platform/win32/serial_port.h"

#include "platform/win32/wide_text.h"

#include <algorithm>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// A write that cannot get rid of its bytes within this time has lost its device.
constexpr DWORD kWriteLimitMs = 5000;
// How often a wait for bytes asks the driver again. The line brings about
// eleven bytes a millisecond, so this keeps a wait close to the bytes'
// arrival without keeping a processor busy.
constexpr auto kPollSlice = std::chrono::milliseconds(1);

PortOpenFailure ReasonOfOpenError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME:
        return PortOpenFailure::NoSuchDevice;
    // A port that another program holds is refused as access denied: the
    // device grants one handle at a time.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return PortOpenFailure::Busy;
    default:
        return PortOpenFailure::Other;
    }
}

// Only what the bootloader needs is changed; flow control, DTR and the
// special characters keep what the driver reports. A handle without line
// settings is no serial port, whatever the device's type says: drivers of
// USB serial adapters do not all report FILE_TYPE_CHAR, and a file or a
// folder has none.
PortOpenFailure ConfigureLine(HANDLE handle, DWORD& error)
{
    DCB settings{};
    settings.DCBlength = sizeof settings;
    if (!::GetCommState(handle, &settings)) {
        error = 0;
        return PortOpenFailure::NotASerialPort;
    }
    settings.BaudRate = CBR_115200;
    settings.ByteSize = 8;
    settings.StopBits = ONESTOPBIT;
    settings.fParity = FALSE;
    settings.fRtsControl = RTS_CONTROL_ENABLE;
    if (::SetCommState(handle, &settings))
        return PortOpenFailure::None;
    error = ::GetLastError();
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ? PortOpenFailure::NotASerialPort
                                                                            : PortOpenFailure::Other;
}

// Reads return at once with what has arrived: the waits for a count of
// bytes are the port's own, bounded by the caller.
bool SetTimeouts(HANDLE handle)
{
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = kWriteLimitMs;
    return ::SetCommTimeouts(handle, &timeouts) != 0;
}

}  // namespace

Win32SerialPort::Win32SerialPort(HANDLE handle) : handle(handle) {}

Win32SerialPort::~Win32SerialPort() { Close(); }

void Win32SerialPort::Close()
{
    if (handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
}

bool Win32SerialPort::Write(std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        if (handle == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        const DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 16));
        // No progress within the write time-out counts as a lost device.
        if (!::WriteFile(handle, bytes.data(), size, &written, nullptr) || written == 0)
            return false;
        bytes = bytes.subspan(written);
    }
    return true;
}

// ClearCommError also clears the port's error state, which is what lets the
// next read go on after a framing or overrun error.
std::optional<std::size_t> Win32SerialPort::BytesWaiting()
{
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(handle, &errors, &status))
        return std::nullopt;
    return status.cbInQue;
}

std::optional<std::size_t> Win32SerialPort::WaitForBytes(std::size_t count,
                                                         std::chrono::microseconds wait)
{
    const auto deadline = Clock::now() + wait;
    for (;;) {
        const auto waiting = BytesWaiting();
        if (!waiting || *waiting >= count || Clock::now() >= deadline)
            return waiting;
        std::this_thread::sleep_for(kPollSlice);
    }
}

std::optional<std::size_t> Win32SerialPort::Read(std::span<std::uint8_t> into,
                                                 std::chrono::microseconds wait)
{
    const auto waiting = WaitForBytes(into.size(), wait);
    if (!waiting)
        return std::nullopt;
    const DWORD size = static_cast<DWORD>(std::min(into.size(), *waiting));
    if (size == 0)
        return 0;
    DWORD got = 0;
    if (!::ReadFile(handle, into.data(), size, &got, nullptr))
        return std::nullopt;
    return got;
}

std::string Win32SerialPortFactory::DevicePath(const std::string& name)
{
    if (name.find_first_of("\\/:") != std::string::npos)
        return name;
    return "\\\\.\\" + name;
}

std::unique_ptr<ISerialPort> Win32SerialPortFactory::Fail(PortOpenFailure reason, DWORD error,
                                                          HANDLE handle)
{
    if (handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle);
    std::lock_guard lock(mutex);
    lastError = PortOpenError{reason, error != 0 ? SystemErrorText(error) : ""};
    return nullptr;
}

std::unique_ptr<ISerialPort> Win32SerialPortFactory::Open(const std::string& name)
{
    if (name.empty())
        return Fail(PortOpenFailure::NoSuchDevice, 0, INVALID_HANDLE_VALUE);
    const std::wstring path = Widen(DevicePath(name));
    // No sharing: the port is ours alone while it is open.
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A folder is refused like a port in use; it will never be a port.
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Fail(PortOpenFailure::NotASerialPort, 0, INVALID_HANDLE_VALUE);
        return Fail(ReasonOfOpenError(error), error, INVALID_HANDLE_VALUE);
    }
    DWORD error = 0;
    if (const PortOpenFailure failure = ConfigureLine(handle, error); failure != PortOpenFailure::None)
        return Fail(failure, error, handle);
    if (!SetTimeouts(handle))
        return Fail(PortOpenFailure::Other, ::GetLastError(), handle);
    {
        std::lock_guard lock(mutex);
        lastError = {};
    }
    return std::make_unique<Win32SerialPort>(handle);
}

PortOpenError Win32SerialPortFactory::LastOpenError() const
{
    std::lock_guard lock(mutex);
    return lastError;
}
