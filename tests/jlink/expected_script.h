#pragma once
// The command script as the tool must receive it, written out line by line
// (every trailing space and line feed counts), for the tests to compare with.

#include <string>
#include <vector>

struct ExpectedPiece {
    const char* index;    // "00"
    const char* address;  // "0x00000008"
    const char* size;     // "0x00000ff8"
};

inline std::string ExpectedStartBlock(const std::string& lengthHex)
{
    return std::string("rsettype 0\n") +
           "r \n"
           "rsettype 6\n"
           "r \n"
           "h \n"
           "loadbin temp_jlinkloader/flashloader.bin, 0x400000 \n"
           "w1 0x00417000, 0x01 \n"
           "w4 0x0041700C, 0x5E1B7A2C \n"
           "w4 0x00417008, " + lengthHex + " \n"
           "w4 0x00417004, 0x00000000 \n"
           "SetPC 0x00400000 \n"
           "g \n"
           "Sleep 5000 \n"
           "h \n"
           "mem 0x00417000, 12\n"
           "\n\n";
}

inline std::string ExpectedPieceBlock(const ExpectedPiece& piece)
{
    return std::string("loadbin temp_jlinkloader/temp_image_") + piece.index + ".bin, 0x00416000\n" +
           "w4 0x00417000, 0x00 \n"
           "w4 0x00417004, " + piece.address + " \n"
           "w4 0x00417008, " + piece.size + " \n"
           "w1 0x00417001, 0x01 \n"
           "SetPC 0x00400000 \n"
           "g\n"
           "Sleep 1000\n"
           "h\n"
           "\n"
           "mem 0x00417000, 12\n";
}

inline std::string ExpectedFinalBlock(const std::string& lengthHex)
{
    return std::string("w1 0x00416000, 0x4F \n") +
           "w1 0x00416001, 0x4B \n"
           "w1 0x00416002, 0x4F \n"
           "w1 0x00416003, 0x4B \n"
           "w4 0x00416004, " + lengthHex + " \n"
           "w4 0x00417000, 0x00 \n"
           "w4 0x00417004, 0x00000000 \n"
           "w4 0x00417008, 0x00000008 \n"
           "w1 0x00417001, 0x01 \n"
           "SetPC 0x00400000 \n"
           "g\n"
           "Sleep 1000\n"
           "h\n"
           "\n"
           "mem 0x00417000, 12\n"
           "q";
}

inline std::string ExpectedScript(const std::string& lengthHex, const std::vector<ExpectedPiece>& pieces)
{
    std::string script = ExpectedStartBlock(lengthHex);
    for (const ExpectedPiece& piece : pieces)
        script += ExpectedPieceBlock(piece);
    return script + ExpectedFinalBlock(lengthHex);
}

// The worked example: a copy of 10000 bytes.
inline std::string ExpectedScriptFor10000()
{
    return ExpectedScript("0x00002710", {{"00", "0x00000008", "0x00000ff8"},
                                         {"01", "0x00001000", "0x00001000"},
                                         {"02", "0x00002000", "0x00000718"}});
}
