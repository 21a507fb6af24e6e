#include "serial/wire_protocol.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {
constexpr std::string_view kGreeting = "CONNECT";
static_assert(kGreeting.size() == kGreetingSize);
}

std::uint8_t PacketCheckByte(std::uint32_t address, std::span<const std::uint8_t> payload)
{
    std::uint8_t check = kWriteCommand;
    for (int shift = 0; shift < 32; shift += 8)
        check ^= static_cast<std::uint8_t>(address >> shift);
    check ^= static_cast<std::uint8_t>(payload.size());
    for (std::uint8_t byte : payload)
        check ^= byte;
    return check;
}

std::array<std::uint8_t, kPacketHeaderSize> PacketHeader(std::uint32_t address, std::size_t n)
{
    return {kPacketStart,
            kWriteCommand,
            static_cast<std::uint8_t>(address),
            static_cast<std::uint8_t>(address >> 8),
            static_cast<std::uint8_t>(address >> 16),
            static_cast<std::uint8_t>(address >> 24),
            static_cast<std::uint8_t>(n)};
}

std::array<std::uint8_t, 4> LengthWord(std::uint32_t length)
{
    return {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
            static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 24)};
}

bool IsGreeting(std::span<const std::uint8_t> waiting)
{
    if (waiting.size() != kGreeting.size() && waiting.size() != kGreeting.size() + 1)
        return false;
    // With 8 bytes the first is a stray one and does not count.
    const auto tail = waiting.subspan(waiting.size() - kGreeting.size());
    return std::equal(tail.begin(), tail.end(), kGreeting.begin(),
                      [](std::uint8_t byte, char c) { return byte == static_cast<std::uint8_t>(c); });
}

bool CouldBecomeGreeting(std::span<const std::uint8_t> waiting)
{
    const auto startsGreeting = [](std::span<const std::uint8_t> bytes) {
        return bytes.size() < kGreeting.size() &&
               std::equal(bytes.begin(), bytes.end(), kGreeting.begin(),
                          [](std::uint8_t byte, char c) { return byte == static_cast<std::uint8_t>(c); });
    };
    return startsGreeting(waiting) || (!waiting.empty() && startsGreeting(waiting.subspan(1)));
}

bool IsReady(const std::array<std::uint8_t, 6>& reply)
{
    return std::memcmp(reply.data(), "READY", 6) == 0;
}

bool IsEraseDone(const std::array<std::uint8_t, kEraseReplySize>& reply)
{
    return reply[1] == kEraseCommandLetter;
}

unsigned ProgressPercent(std::uint32_t address, std::uint32_t length)
{
    if (length == 0)
        return 100;
    // Computed in floating point and truncated; the first packet of a tiny
    // image would otherwise report more than 100.
    const double percent = static_cast<double>(address) * 100.0 / static_cast<double>(length);
    return percent >= 100.0 ? 100u : static_cast<unsigned>(percent);
}
