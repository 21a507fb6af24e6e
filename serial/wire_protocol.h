#pragma once
// The bytes the job exchanges with the ROM bootloader and the second-stage
// loader, and the checks it applies to the board's answers.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr std::uint8_t kPollByte = 0x00;
inline constexpr std::uint8_t kPacketStart = 0x02;
inline constexpr std::uint8_t kWriteCommand = 0x57;  // 'W'
inline constexpr std::uint8_t kEraseCommandLetter = 0x44;  // 'D'
inline constexpr std::size_t kMaxPayload = 120;
inline constexpr std::size_t kPacketHeaderSize = 7;
inline constexpr std::size_t kAcknowledgementSize = 8;
inline constexpr std::size_t kEraseReplySize = 4;
inline constexpr std::size_t kGreetingSize = 7;  // "CONNECT"

// Start, letter, argument and check byte (the XOR of letter and argument).
inline constexpr std::array<std::uint8_t, 4> kEraseCommand{0x02, 0x44, 0x01, 0x45};

// The XOR of 'W', the address (least significant byte first), the length
// byte and every payload byte.
std::uint8_t PacketCheckByte(std::uint32_t address, std::span<const std::uint8_t> payload);

// 0x02 'W', the address little-endian, the length byte n.
std::array<std::uint8_t, kPacketHeaderSize> PacketHeader(std::uint32_t address, std::size_t n);

// The loader's length as its 4 stored bytes, little-endian.
std::array<std::uint8_t, 4> LengthWord(std::uint32_t length);

// The bootloader's greeting in a poll's input: exactly "CONNECT", or 8 bytes
// whose last 7 are "CONNECT".
bool IsGreeting(std::span<const std::uint8_t> waiting);

// Input that is not a greeting yet but may still become one: the start of
// "CONNECT", with or without one stray byte in front.
bool CouldBecomeGreeting(std::span<const std::uint8_t> waiting);

// Exactly "READY" in the first 5 bytes of a zeroed 6-byte buffer.
bool IsReady(const std::array<std::uint8_t, 6>& reply);

// The erase reply is good when its second byte is 'D'.
bool IsEraseDone(const std::array<std::uint8_t, kEraseReplySize>& reply);

// Percent done after the packet that starts at flash `address`, never above 100.
unsigned ProgressPercent(std::uint32_t address, std::uint32_t length);
