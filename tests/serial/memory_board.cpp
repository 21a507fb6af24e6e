#include "memory_board.h"

#include "data/target_code.h"

#include <algorithm>
#include <thread>

class MemoryPort final : public ISerialPort {
public:
    MemoryPort(MemoryBoard& board, int generation) : board(board), generation(generation) {}
    ~MemoryPort() override { Close(); }

    bool Write(std::span<const std::uint8_t> bytes) override
    {
        return open && board.Write(generation, bytes);
    }

    std::optional<std::size_t> WaitForBytes(std::size_t count,
                                            std::chrono::microseconds wait) override
    {
        const auto deadline = MemoryBoard::Clock::now() + wait;
        for (;;) {
            const auto available = BytesWaiting();
            if (!available || *available >= count || MemoryBoard::Clock::now() >= deadline)
                return available;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    std::optional<std::size_t> BytesWaiting() override
    {
        if (!open)
            return std::nullopt;
        return board.Available(generation);
    }

    std::optional<std::size_t> Read(std::span<std::uint8_t> into,
                                    std::chrono::microseconds wait) override
    {
        if (!WaitForBytes(into.size(), wait))
            return std::nullopt;
        return board.Take(generation, into);
    }

    void Close() override
    {
        if (open)
            board.Release(generation);
        open = false;
    }

private:
    MemoryBoard& board;
    int generation;
    bool open = true;
};

MemoryBoard::MemoryBoard(SimOptions options)
    : options(std::move(options)), model(this->options, flash, SecondStageLoader())
{
}

SimOptions MemoryBoard::FastOptions()
{
    SimOptions options;
    options.baud = 0;
    options.eraseTime = options.writeTimePerByte = std::chrono::microseconds(0);
    return options;
}

std::vector<std::vector<std::uint8_t>> MemoryBoard::Writes() const
{
    std::lock_guard lock(mutex);
    return writes;
}

std::vector<std::uint8_t> MemoryBoard::Flash() const
{
    std::lock_guard lock(mutex);
    return flash.Bytes();
}

int MemoryBoard::Opens() const
{
    std::lock_guard lock(mutex);
    return opens;
}

bool MemoryBoard::Write(int portGeneration, std::span<const std::uint8_t> bytes)
{
    std::lock_guard lock(mutex);
    if (portGeneration != generation)
        return false;
    writes.emplace_back(bytes.begin(), bytes.end());
    for (std::uint8_t byte : bytes) {
        const auto emissions = model.Feed(byte);
        if (!unpluggedOnce && options.unplugAt != SimPhase::None && model.Phase() == options.unplugAt) {
            Unplug();
            return true;  // the byte left; the next call finds the port gone
        }
        auto at = inbox.empty() ? Clock::now() : std::max(inbox.back().at, Clock::now());
        for (const Emission& emission : emissions) {
            at += emission.delay;
            for (std::uint8_t out : emission.bytes)
                inbox.push_back({at, out});
        }
    }
    return true;
}

std::optional<std::size_t> MemoryBoard::Available(int portGeneration)
{
    std::lock_guard lock(mutex);
    if (portGeneration != generation)
        return std::nullopt;
    const auto now = Clock::now();
    return static_cast<std::size_t>(
        std::count_if(inbox.begin(), inbox.end(), [now](const Timed& t) { return t.at <= now; }));
}

std::optional<std::size_t> MemoryBoard::Take(int portGeneration, std::span<std::uint8_t> into)
{
    std::lock_guard lock(mutex);
    if (portGeneration != generation)
        return std::nullopt;
    const auto now = Clock::now();
    std::size_t n = 0;
    while (n < into.size() && !inbox.empty() && inbox.front().at <= now) {
        into[n++] = inbox.front().byte;
        inbox.pop_front();
    }
    return n;
}

std::optional<int> MemoryBoard::Open()
{
    std::lock_guard lock(mutex);
    if (replugAt && Clock::now() >= *replugAt) {
        replugAt.reset();
        model.Reset();
    } else if (replugAt || (unpluggedOnce && !options.replugAfter)) {
        return std::nullopt;
    }
    if (held)
        return std::nullopt;
    held = true;
    ++opens;
    return generation;
}

void MemoryBoard::Release(int portGeneration)
{
    std::lock_guard lock(mutex);
    if (portGeneration == generation)
        held = false;
}

void MemoryBoard::Unplug()
{
    unpluggedOnce = true;
    ++generation;
    held = false;
    inbox.clear();
    if (options.replugAfter)
        replugAt = Clock::now() + *options.replugAfter;
}

std::unique_ptr<ISerialPort> MemoryPortFactory::Open(const std::string&)
{
    const auto generation = board.Open();
    if (!generation) {
        lastError = {PortOpenFailure::NoSuchDevice, ""};
        return nullptr;
    }
    lastError = {};
    return std::make_unique<MemoryPort>(board, *generation);
}
