#include "sim/board_model.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kStart = 0x02;
constexpr std::uint8_t kErase = 'D';
constexpr std::uint8_t kWrite = 'W';
constexpr std::size_t kWriteHeader = 7;  // start, 'W', address, length
// A length word beyond this is no loader: the ROM would run off into nothing.
constexpr std::uint32_t kLargestLoader = 0x8000;

std::vector<std::uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

std::uint8_t Xor(std::span<const std::uint8_t> bytes)
{
    std::uint8_t check = 0;
    for (std::uint8_t byte : bytes)
        check ^= byte;
    return check;
}

}  // namespace

BoardModel::BoardModel(const SimOptions& options, NorFlash& flash,
                       std::span<const std::uint8_t> loader)
    : options(options), flash(flash), expectedLoader(loader)
{
}

void BoardModel::Reset()
{
    state = State::Rom;
    phase = SimPhase::None;
    pollsIgnored = 0;
    collected.clear();
    loaderLength = 0;
    packetsReceived = 0;
}

std::vector<Emission> BoardModel::Feed(std::uint8_t byte)
{
    switch (state) {
    case State::Rom:
        return OnRomByte(byte);
    case State::LengthWord:
        return OnLengthByte(byte);
    case State::LoaderBytes:
        return OnSecondStageByte(byte);
    case State::Loader:
        return OnCommandByte(byte);
    case State::Silent:
        break;
    }
    return {};
}

// The ROM answers the first 0x00 after reset; everything else it ignores.
std::vector<Emission> BoardModel::OnRomByte(std::uint8_t byte)
{
    if (byte != 0x00)
        return {};
    phase = SimPhase::Poll;
    if (options.neverGreet)
        return {};
    if (pollsIgnored < options.silentPolls) {
        ++pollsIgnored;
        return {};
    }
    state = State::LengthWord;
    return Greeting();
}

std::vector<Emission> BoardModel::Greeting()
{
    std::vector<Emission> out;
    // Noise, then the greeting once the user has reset the board.
    if (options.noiseBytes > 0)
        out.push_back({{}, std::vector<std::uint8_t>(options.noiseBytes, 0x3C)});
    auto resetTime = options.noiseBytes > 0 ? std::chrono::microseconds(options.noiseGap)
                                            : std::chrono::microseconds(0);
    if (options.strayBytes > 0) {
        out.push_back({resetTime, std::vector<std::uint8_t>(options.strayBytes, 0xA5)});
        resetTime = {};
    }
    const std::string greeting = "CONNECT";
    const std::size_t pieces = std::max(1u, options.greetingPieces);
    const std::size_t size = (greeting.size() + pieces - 1) / pieces;
    for (std::size_t at = 0; at < greeting.size(); at += size) {
        const auto delay = at == 0 ? resetTime : std::chrono::microseconds(options.pieceGap);
        out.push_back({delay, Text(greeting.substr(at, size))});
    }
    if (options.trailingBytes > 0)
        out.push_back({{}, std::vector<std::uint8_t>(options.trailingBytes, 0x5A)});
    return out;
}

// Further polls may still come in before the host has seen the greeting; a
// length word never starts with 0x00, so those are skipped.
std::vector<Emission> BoardModel::OnLengthByte(std::uint8_t byte)
{
    if (collected.empty() && byte == 0x00)
        return {};
    phase = SimPhase::Download;
    collected.push_back(byte);
    if (collected.size() < 4)
        return {};
    loaderLength = collected[0] | collected[1] << 8 | collected[2] << 16 |
                   static_cast<std::uint32_t>(collected[3]) << 24;
    collected.clear();
    state = loaderLength == 0 || loaderLength > kLargestLoader ? State::Silent : State::LoaderBytes;
    return {};
}

// The loader runs only when it is exactly the one the build carries.
std::vector<Emission> BoardModel::OnSecondStageByte(std::uint8_t byte)
{
    collected.push_back(byte);
    if (collected.size() < loaderLength)
        return {};
    const bool intact = std::equal(collected.begin(), collected.end(), expectedLoader.begin(),
                                   expectedLoader.end());
    collected.clear();
    if (!intact) {
        state = State::Silent;
        return {};
    }
    state = State::Loader;
    return {{{}, Text(options.readyText)}};
}

std::vector<Emission> BoardModel::OnCommandByte(std::uint8_t byte)
{
    if (collected.empty() && byte != kStart)
        return {};  // noise between commands
    collected.push_back(byte);
    if (collected.size() < 2)
        return {};
    if (collected[1] == kErase)
        return collected.size() == 4 ? Erase() : std::vector<Emission>{};
    if (collected[1] != kWrite) {
        collected.clear();
        return {};
    }
    if (collected.size() < kWriteHeader || collected.size() < kWriteHeader + collected[6] + 1u)
        return {};
    return Write();
}

// 0x02 'D' 0x01 and the check byte; answered with 4 bytes, 'D' second when
// the flash is erased.
std::vector<Emission> BoardModel::Erase()
{
    phase = SimPhase::Erase;
    const bool checked = Xor({collected.data() + 1, 3}) == 0;
    collected.clear();
    const bool erased = checked && !options.eraseFails;
    if (erased)
        flash.Erase();
    const std::uint8_t letter = erased ? kErase : 'E';
    return {{options.eraseTime, {kStart, letter, 0x01, static_cast<std::uint8_t>(letter ^ 0x01)}}};
}

// Checks the packet, writes it, and answers with 8 bytes: 'W' second when
// the payload is in the flash.
std::vector<Emission> BoardModel::Write()
{
    phase = SimPhase::Write;
    ++packetsReceived;
    const std::span<const std::uint8_t> packet(collected);
    const std::uint8_t n = packet[6];
    const std::uint32_t address = packet[2] | packet[3] << 8 | packet[4] << 16 |
                                  static_cast<std::uint32_t>(packet[5]) << 24;
    const bool checked = Xor(packet.subspan(1, kWriteHeader - 1 + n + 1)) == 0;
    const bool written = checked && flash.Write(address, packet.subspan(kWriteHeader, n));
    const bool bad = packetsReceived == options.badAckPacket;
    std::vector<std::uint8_t> reply{kStart, written && !bad ? kWrite : std::uint8_t{'E'},
                                    packet[2], packet[3], packet[4], packet[5], n,
                                    static_cast<std::uint8_t>(written ? 0 : 1)};
    collected.clear();
    if (packetsReceived == options.missingAckPacket)
        return {};
    auto busy = options.writeTimePerByte * n;
    if (packetsReceived == options.lateAckPacket)
        busy += options.lateAckDelay;
    return {{busy, std::move(reply)}};
}
