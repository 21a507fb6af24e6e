#include "platform/posix/posix_serial_port.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

PortOpenFailure ReasonOfOpenError(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return PortOpenFailure::NoSuchDevice;
    case EACCES:
    case EPERM:
        return PortOpenFailure::PermissionDenied;
    case EBUSY:
        return PortOpenFailure::Busy;
    case EISDIR:
        return PortOpenFailure::NotASerialPort;
    default:
        return PortOpenFailure::Other;
    }
}

// Raw 115200 8N1 without parity checking; flow control stays as the driver
// has it. The receiver is on and modem lines are ignored, so that a board
// without carrier still talks.
bool ConfigureLine(int fd)
{
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    const tcflag_t flowControl = settings.c_cflag & CRTSCTS;
    ::cfmakeraw(&settings);
    settings.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD | flowControl;
    // With VMIN 0 an empty non-blocking read returns 0, which would look like
    // a hung-up line; with 1 it says EAGAIN.
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    if (::cfsetispeed(&settings, B115200) != 0 || ::cfsetospeed(&settings, B115200) != 0)
        return false;
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

// Holds RTS asserted. Devices without modem lines (pseudo-terminals) refuse
// the request, which is no fault of the port.
bool AssertRts(int fd)
{
    int bits = TIOCM_RTS;
    if (::ioctl(fd, TIOCMBIS, &bits) == 0)
        return true;
    return errno == ENOTTY || errno == EINVAL;
}

}  // namespace

std::string PosixSerialPortFactory::DevicePath(const std::string& name)
{
    return name.find('/') == std::string::npos ? "/dev/" + name : name;
}

void PosixSerialPortFactory::AddPortAlias(const std::string& name, const std::string& path)
{
    std::lock_guard lock(mutex);
    aliases[name] = path;
}

std::unique_ptr<ISerialPort> PosixSerialPortFactory::Fail(PortOpenFailure reason, int error,
                                                          int fd)
{
    if (fd >= 0)
        ::close(fd);
    std::lock_guard lock(mutex);
    lastError = PortOpenError{reason, error != 0 ? std::strerror(error) : ""};
    return nullptr;
}

std::unique_ptr<ISerialPort> PosixSerialPortFactory::Open(const std::string& name)
{
    if (name.empty())
        return Fail(PortOpenFailure::NoSuchDevice, 0, -1);
    std::string path = DevicePath(name);
    {
        std::lock_guard lock(mutex);
        if (auto alias = aliases.find(name); alias != aliases.end())
            path = alias->second;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fail(ReasonOfOpenError(errno), errno, -1);
    // flock rather than TIOCEXCL alone: TIOCEXCL does not keep root out.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return Fail(PortOpenFailure::Busy, errno == EWOULDBLOCK ? 0 : errno, fd);
    if (!::isatty(fd))
        return Fail(PortOpenFailure::NotASerialPort, 0, fd);
    if (!ConfigureLine(fd) || !AssertRts(fd))
        return Fail(PortOpenFailure::Other, errno, fd);
    {
        std::lock_guard lock(mutex);
        lastError = {};
    }
    return std::make_unique<PosixSerialPort>(fd);
}

PortOpenError PosixSerialPortFactory::LastOpenError() const
{
    std::lock_guard lock(mutex);
    return lastError;
}
