#pragma once
// The command script the J-Link tool carries out: load the flash loader into
// the chip's RAM, erase the flash through the loader's command block, write
// each piece of the image, and write the OKOK header last, so that a board
// whose programming broke off never boots a half-written image.

#include "flash/flash_plan.h"

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
// A write cut by that rule, each piece where it lands in the flash.
std::vector<FlashWrite> CutIntoPieces(const FlashWrite& write);

// Reset, halt, load the loader, erase `imageLength` bytes.
std::string ScriptStartBlock(std::uint32_t imageLength);
// Load piece `index` into the data buffer and have the loader write it.
std::string ScriptPieceBlock(int index, std::uint32_t flashAddress, std::uint32_t size);
// Write the header and quit: the file's last byte is the "q".
std::string ScriptFinalBlock(const FlashWrite& header);

// The whole script for the plan: erase the image's length, write each piece
// of the image, then the header.
std::string BuildCommandScript(const FlashPlan& plan);
