#include "platform/posix/posix_serial_port.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// A write that cannot get rid of its bytes within this time has lost its device.
constexpr auto kWriteLimit = std::chrono::seconds(5);

timespec ToTimespec(std::chrono::steady_clock::duration left)
{
    if (left < std::chrono::steady_clock::duration::zero())
        left = std::chrono::steady_clock::duration::zero();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

// Waits for `events` on fd until the deadline. False when the line hung up.
bool PollUntil(int fd, short events, std::chrono::steady_clock::time_point deadline)
{
    pollfd entry{fd, events, 0};
    const timespec left = ToTimespec(deadline - std::chrono::steady_clock::now());
    const int ready = ::ppoll(&entry, 1, &left, nullptr);
    if (ready < 0)
        return errno == EINTR;
    return (entry.revents & (POLLERR | POLLNVAL)) == 0 &&
           ((entry.revents & POLLHUP) == 0 || (entry.revents & POLLIN) != 0);
}

}  // namespace

PosixSerialPort::PosixSerialPort(int fd) : fd(fd) {}

PosixSerialPort::~PosixSerialPort() { Close(); }

void PosixSerialPort::Close()
{
    if (fd >= 0)
        ::close(fd);  // also releases the exclusive claim
    fd = -1;
    pending.clear();
}

bool PosixSerialPort::Write(std::span<const std::uint8_t> bytes)
{
    const auto deadline = std::chrono::steady_clock::now() + kWriteLimit;
    while (!bytes.empty()) {
        if (fd < 0)
            return false;
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EAGAIN && WaitWritable(deadline))
            continue;
        return false;
    }
    return true;
}

bool PosixSerialPort::WaitWritable(std::chrono::steady_clock::time_point deadline)
{
    return std::chrono::steady_clock::now() < deadline && PollUntil(fd, POLLOUT, deadline);
}

// Moves what the device holds into `pending`. False when the line is gone:
// a read error (EIO after an unplug) or end of file on a hung-up line.
bool PosixSerialPort::TakeAvailable()
{
    if (fd < 0)
        return false;
    std::uint8_t chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got > 0) {
            pending.insert(pending.end(), chunk, chunk + got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        return got < 0 && errno == EAGAIN;
    }
}

bool PosixSerialPort::WaitReadable(std::chrono::steady_clock::time_point deadline)
{
    return PollUntil(fd, POLLIN, deadline);
}

bool PosixSerialPort::HungUp()
{
    pollfd entry{fd, POLLIN, 0};
    if (::poll(&entry, 1, 0) < 0)
        return errno != EINTR;
    return (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

std::optional<std::size_t> PosixSerialPort::WaitForBytes(std::size_t count,
                                                         std::chrono::microseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (!TakeAvailable())
            return std::nullopt;
        if (pending.size() >= count || std::chrono::steady_clock::now() >= deadline)
            return pending.size();
        if (!WaitReadable(deadline))
            return std::nullopt;
    }
}

std::optional<std::size_t> PosixSerialPort::BytesWaiting()
{
    if (fd < 0 || HungUp())
        return std::nullopt;
    int queued = 0;
    if (::ioctl(fd, FIONREAD, &queued) != 0)
        return std::nullopt;
    return pending.size() + static_cast<std::size_t>(queued);
}

std::optional<std::size_t> PosixSerialPort::Read(std::span<std::uint8_t> into,
                                                 std::chrono::microseconds wait)
{
    if (!WaitForBytes(into.size(), wait))
        return std::nullopt;
    const std::size_t n = std::min(into.size(), pending.size());
    std::copy_n(pending.begin(), n, into.begin());
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}
