#include "jlink/command_script.h"

#include "jlink/tool_file_names.h"

#include <cstdio>

namespace {

std::string Hex8(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%.8x", value);
    return text;
}

std::string Hex2(std::uint8_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%.2X", value);
    return text;
}

std::uint32_t LittleEndianWord(std::span<const std::uint8_t> bytes)
{
    std::uint32_t word = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        word = (word << 8) | bytes[i];
    return word;
}

constexpr std::uint32_t kDataBuffer = 0x00416000;

}  // namespace

std::vector<std::uint32_t> PieceSizes(std::uint32_t length)
{
    std::vector<std::uint32_t> sizes;
    std::uint32_t left = length;
    while (left > 0) {
        const std::uint32_t want = sizes.empty() ? kFirstPieceSize : kPieceSize;
        const std::uint32_t size = left < want ? left : want;
        sizes.push_back(size);
        left -= size;
    }
    return sizes;
}

std::vector<FlashWrite> CutIntoPieces(const FlashWrite& write)
{
    std::vector<FlashWrite> pieces;
    std::uint32_t offset = 0;
    for (const std::uint32_t size : PieceSizes(static_cast<std::uint32_t>(write.bytes.size()))) {
        pieces.push_back({write.address + offset, write.bytes.subspan(offset, size)});
        offset += size;
    }
    return pieces;
}

std::string ScriptStartBlock(std::uint32_t imageLength)
{
    std::string text;
    text += "rsettype 0\n";
    text += "r \n";
    text += "rsettype 6\n";
    text += "r \n";
    text += "h \n";
    text += "loadbin " + WorkRelativePath(kFlashLoaderFileName) + ", 0x400000 \n";
    text += "w1 0x00417000, 0x01 \n";
    text += "w4 0x0041700C, 0x5E1B7A2C \nw4 0x00417008, ";
    text += Hex8(imageLength) + " \n";
    text += "w4 0x00417004, 0x00000000 \n";
    text += "SetPC 0x00400000 \n";
    text += "g \n";
    text += "Sleep 5000 \n";
    text += "h \n";
    text += "mem 0x00417000, 12\n";
    text += "\n\n";
    return text;
}

std::string ScriptPieceBlock(int index, std::uint32_t flashAddress, std::uint32_t size)
{
    std::string text;
    text += "loadbin " + WorkRelativePath(PieceFileName(index)) + ", 0x00416000\n";
    text += "w4 0x00417000, 0x00 \n";
    text += "w4 0x00417004, " + Hex8(flashAddress) + " \n";
    text += "w4 0x00417008, " + Hex8(size) + " \n";
    text += "w1 0x00417001, 0x01 \n";
    text += "SetPC 0x00400000 \n";
    text += "g\nSleep 1000\nh\n\n";
    text += "mem 0x00417000, 12\n";
    return text;
}

// The header's marker goes into the data buffer byte by byte and its length
// as one word; the loader then writes the buffer where the header belongs.
std::string ScriptFinalBlock(const FlashWrite& header)
{
    constexpr std::size_t kMarkerSize = 4;
    std::string text;
    for (std::uint32_t i = 0; i < kMarkerSize; ++i)
        text += "w1 " + Hex8(kDataBuffer + i) + ", " + Hex2(header.bytes[i]) + " \n";
    text += "w4 " + Hex8(kDataBuffer + kMarkerSize) + ", " +
            Hex8(LittleEndianWord(header.bytes.subspan(kMarkerSize))) + " \n";
    text += "w4 0x00417000, 0x00 \n";
    text += "w4 0x00417004, " + Hex8(header.address) + " \n";
    text += "w4 0x00417008, " + Hex8(static_cast<std::uint32_t>(header.bytes.size())) + " \n";
    text += "w1 0x00417001, 0x01 \n";
    text += "SetPC 0x00400000 \n";
    text += "g\nSleep 1000\nh\n\n";
    text += "mem 0x00417000, 12\n";
    text += "q";
    return text;
}

std::string BuildCommandScript(const FlashPlan& plan)
{
    std::string script = ScriptStartBlock(plan.ImageLength());
    const std::vector<FlashWrite> pieces = CutIntoPieces(plan.ImageWrite());
    for (std::size_t i = 0; i < pieces.size(); ++i)
        script += ScriptPieceBlock(static_cast<int>(i), pieces[i].address,
                                   static_cast<std::uint32_t>(pieces[i].bytes.size()));
    return script + ScriptFinalBlock(plan.HeaderWrite());
}
