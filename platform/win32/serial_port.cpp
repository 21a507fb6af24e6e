#include "platform/win32/serial_port.h"

#include "platform/win32/wide_text.h"

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;

// A write that cannot get rid of its bytes within this time has lost its device.
constexpr DWORD kWriteLimitMs = 5000;

// A wait of the driver's, in whole milliseconds (it knows no finer ones),
// never shorter than asked.
DWORD Milliseconds(std::chrono::microseconds wait)
{
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    return ms <= 0 ? 0 : ms >= MAXDWORD ? MAXDWORD - 1 : static_cast<DWORD>(ms);
}

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

// The read time-outs of the next read: it returns once all its bytes have
// arrived or `ms` has passed, with what has arrived; 0 returns at once with
// what is there. The driver does the waiting, and ends it on the byte that
// completes the read: no tick of the system's timer is waited for then.
bool SetTimeouts(HANDLE handle, DWORD ms)
{
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = ms == 0 ? MAXDWORD : 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = ms;
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
// next read go on after a framing or overrun error. Bytes a wait has taken
// from the driver count as waiting: they are the board's, not yet read.
std::optional<std::size_t> Win32SerialPort::BytesWaiting()
{
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(handle, &errors, &status))
        return std::nullopt;
    return taken.size() + status.cbInQue;
}

// Takes bytes from the driver until `count` are held or `wait` is over.
bool Win32SerialPort::Take(std::size_t count, std::chrono::microseconds wait)
{
    if (taken.size() >= count)
        return true;
    // Clears an error state that would fail the read.
    if (!BytesWaiting())
        return false;
    if (const DWORD ms = Milliseconds(wait); ms != timeouts) {
        if (!SetTimeouts(handle, ms))
            return false;
        timeouts = ms;
    }
    const std::size_t kept = taken.size();
    taken.resize(count);
    DWORD got = 0;
    const bool read = ::ReadFile(handle, taken.data() + kept, static_cast<DWORD>(count - kept), &got, nullptr);
    taken.resize(kept + (read ? got : 0));
    return read;
}

std::optional<std::size_t> Win32SerialPort::WaitForBytes(std::size_t count,
                                                         std::chrono::microseconds wait)
{
    if (!Take(count, wait))
        return std::nullopt;
    return BytesWaiting();
}

std::optional<std::size_t> Win32SerialPort::Read(std::span<std::uint8_t> into,
                                                 std::chrono::microseconds wait)
{
    if (!Take(into.size(), wait))
        return std::nullopt;
    const std::size_t size = std::min(into.size(), taken.size());
    std::copy_n(taken.begin(), size, into.begin());
    taken.erase(taken.begin(), taken.begin() + static_cast<std::ptrdiff_t>(size));
    return size;
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
    if (!SetTimeouts(handle, 0))
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
