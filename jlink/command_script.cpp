#include "jlink/command_script.h"

#include "flash/flash_layout.h"
#include "jlink/job_names.h"

#include <cstdio>

namespace {

std::string Hex8(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%.8x", value);
    return text;
}

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

std::string ScriptStartBlock(std::uint32_t imageLength)
{
    std::string text;
    text += "rsettype 0\n";
    text += "r \n";
    text += "rsettype 6\n";
    text += "r \n";
    text += "h \n";
    text += "loadbin " + JobRelativePath(kLoaderFileName) + ", 0x400000 \n";
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
    text += "loadbin " + JobRelativePath(PieceFileName(index)) + ", 0x00416000\n";
    text += "w4 0x00417000, 0x00 \n";
    text += "w4 0x00417004, " + Hex8(flashAddress) + " \n";
    text += "w4 0x00417008, " + Hex8(size) + " \n";
    text += "w1 0x00417001, 0x01 \n";
    text += "SetPC 0x00400000 \n";
    text += "g\nSleep 1000\nh\n\n";
    text += "mem 0x00417000, 12\n";
    return text;
}

std::string ScriptFinalBlock(std::uint32_t imageLength)
{
    std::string text;
    text += "w1 0x00416000, 0x4F \n";
    text += "w1 0x00416001, 0x4B \n";
    text += "w1 0x00416002, 0x4F \n";
    text += "w1 0x00416003, 0x4B \n";
    text += "w4 0x00416004, " + Hex8(imageLength) + " \n";
    text += "w4 0x00417000, 0x00 \n";
    text += "w4 0x00417004, 0x00000000 \n";
    text += "w4 0x00417008, 0x00000008 \n";
    text += "w1 0x00417001, 0x01 \n";
    text += "SetPC 0x00400000 \n";
    text += "g\nSleep 1000\nh\n\n";
    text += "mem 0x00417000, 12\n";
    text += "q";
    return text;
}

std::string BuildCommandScript(std::uint32_t imageLength,
                               const std::vector<std::uint32_t>& pieceSizes)
{
    std::string script = ScriptStartBlock(imageLength);
    std::uint32_t flashAddress = kHeaderSize;
    for (std::size_t i = 0; i < pieceSizes.size(); ++i) {
        script += ScriptPieceBlock(static_cast<int>(i), flashAddress, pieceSizes[i]);
        flashAddress += pieceSizes[i];
    }
    return script + ScriptFinalBlock(imageLength);
}
