#pragma once
// The command script the J-Link tool carries out: load the flash loader into
// the chip's RAM, erase the flash through the loader's command block, write
// each piece of the image, and write the OKOK header last, so that a board
// whose programming broke off never boots a half-written image.

#include <cstdint>
#include <string>
#include <vector>

// Piece 0 ends where flash address 4096 begins (the image starts behind the
// 8-byte header); every later piece fills the RAM data buffer, which ends
// where the command block begins.
inline constexpr std::uint32_t kFirstPieceSize = 4088;
inline constexpr std::uint32_t kPieceSize = 4096;

// The sizes of the pieces a copy of `length` bytes is cut into.
std::vector<std::uint32_t> PieceSizes(std::uint32_t length);

// Reset, halt, load the loader, erase `imageLength` bytes.
std::string ScriptStartBlock(std::uint32_t imageLength);
// Load piece `index` into the data buffer and have the loader write it.
std::string ScriptPieceBlock(int index, std::uint32_t flashAddress, std::uint32_t size);
// Write the header and quit: the file's last byte is the "q".
std::string ScriptFinalBlock(std::uint32_t imageLength);

// The whole script for pieces of the given sizes, written back to back from
// flash address 8.
std::string BuildCommandScript(std::uint32_t imageLength,
                               const std::vector<std::uint32_t>& pieceSizes);
