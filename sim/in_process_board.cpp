#include "sim/in_process_board.h"

#include "data/target_code.h"

#include <algorithm>

class InProcessPort final : public ISerialPort {
public:
    explicit InProcessPort(InProcessBoard& board) : board(board) {}
    ~InProcessPort() override { Close(); }

    bool Write(std::span<const std::uint8_t> bytes) override
    {
        if (open)
            board.Write(bytes);
        return open;
    }

    std::optional<std::size_t> WaitForBytes(std::size_t count,
                                            std::chrono::microseconds wait) override
    {
        return open ? std::optional(board.Wait(count, wait)) : std::nullopt;
    }

    std::optional<std::size_t> BytesWaiting() override
    {
        return WaitForBytes(0, std::chrono::microseconds(0));
    }

    std::optional<std::size_t> Read(std::span<std::uint8_t> into,
                                    std::chrono::microseconds wait) override
    {
        return open ? std::optional(board.Take(into, wait)) : std::nullopt;
    }

    void Close() override
    {
        if (open)
            board.EndSession();
        open = false;
    }

private:
    InProcessBoard& board;
    bool open = true;
};

InProcessBoard::InProcessBoard(SimOptions options)
    : options(std::move(options)), model(this->options, flash, SecondStageLoader())
{
}

std::unique_ptr<ISerialPort> InProcessBoard::Open()
{
    std::lock_guard lock(mutex);
    if (held)
        return nullptr;
    held = true;
    return std::make_unique<InProcessPort>(*this);
}

std::vector<std::uint8_t> InProcessBoard::Flash() const
{
    std::lock_guard lock(mutex);
    return flash.Bytes();
}

// The bytes leave at once, as into a driver's send buffer; the board takes
// each one when it has crossed the line.
void InProcessBoard::Write(std::span<const std::uint8_t> bytes)
{
    {
        std::lock_guard lock(mutex);
        for (std::uint8_t byte : bytes) {
            inboundFree = std::max(inboundFree, Clock::now()) + options.ByteTime();
            Handle(byte, inboundFree);
        }
    }
    changed.notify_all();
}

// As the board on the pseudo-terminal does: a board still busy takes the
// next byte once it is done, and it is busy while it sends its answer.
void InProcessBoard::Handle(std::uint8_t byte, Clock::time_point arrived)
{
    if (resetAt && arrived >= *resetAt) {
        resetAt.reset();
        model.Reset();
    }
    auto at = std::max(arrived, boardFree);
    for (const Emission& emission : model.Feed(byte)) {
        at += emission.delay;
        for (std::uint8_t out : emission.bytes) {
            at += options.ByteTime();
            inbox.push_back({at, out});
        }
    }
    boardFree = at;
}

std::size_t InProcessBoard::Arrived(Clock::time_point now) const
{
    const auto end = std::partition_point(inbox.begin(), inbox.end(),
                                          [now](const Timed& timed) { return timed.at <= now; });
    return static_cast<std::size_t>(end - inbox.begin());
}

// Sleeps until the count-th byte is due when it is on its way already, else
// until the wait is over or a write or close changes what is coming.
std::size_t InProcessBoard::WaitForBytes(std::unique_lock<std::mutex>& lock, std::size_t count,
                                         std::chrono::microseconds wait)
{
    const auto deadline = Clock::now() + wait;
    for (;;) {
        const auto now = Clock::now();
        const std::size_t arrived = Arrived(now);
        if (arrived >= count || now >= deadline)
            return arrived;
        const auto due = inbox.size() >= count ? std::min(inbox[count - 1].at, deadline) : deadline;
        changed.wait_until(lock, due);
    }
}

std::size_t InProcessBoard::Wait(std::size_t count, std::chrono::microseconds wait)
{
    std::unique_lock lock(mutex);
    return WaitForBytes(lock, count, wait);
}

std::size_t InProcessBoard::Take(std::span<std::uint8_t> into, std::chrono::microseconds wait)
{
    std::unique_lock lock(mutex);
    const std::size_t count = std::min(into.size(), WaitForBytes(lock, into.size(), wait));
    for (std::size_t i = 0; i < count; ++i)
        into[i] = inbox[i].byte;
    inbox.erase(inbox.begin(), inbox.begin() + static_cast<std::ptrdiff_t>(count));
    return count;
}

// What the board sends to a closed port is lost. Its user resets it for the
// next update, as the pseudo-terminal board's user does: a board still in its
// ROM needs no reset, and one already due keeps its time.
void InProcessBoard::EndSession()
{
    {
        std::lock_guard lock(mutex);
        held = false;
        inbox.clear();
        if (options.resetAfterSession && !model.InRom() && !resetAt)
            resetAt = Clock::now() + *options.resetAfterSession;
    }
    changed.notify_all();
}

InProcessPortFactory::InProcessPortFactory(InProcessBoard& board, std::string portName,
                                           ISerialPortFactory& others)
    : board(board), portName(std::move(portName)), others(others)
{
}

std::unique_ptr<ISerialPort> InProcessPortFactory::Open(const std::string& name)
{
    if (name != portName) {
        std::lock_guard lock(mutex);
        lastWasBoard = false;
        return others.Open(name);
    }
    auto port = board.Open();
    std::lock_guard lock(mutex);
    lastWasBoard = true;
    boardError = port ? PortOpenError{} : PortOpenError{PortOpenFailure::Busy, ""};
    return port;
}

PortOpenError InProcessPortFactory::LastOpenError() const
{
    std::lock_guard lock(mutex);
    return lastWasBoard ? boardError : others.LastOpenError();
}
