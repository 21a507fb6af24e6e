#include "images/srecord_record.h"

#include <cstdio>

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads exactly `digits` hexadecimal digits; stops at the first other
// character, the terminator included, so it never reads past the line.
bool ReadHex(const char* text, int digits, std::uint32_t& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i) {
        int v = HexValue(text[i]);
        if (v < 0)
            return false;
        value = value << 4 | static_cast<std::uint32_t>(v);
    }
    return true;
}

// Two digits already known to be hexadecimal.
std::uint32_t ByteAt(const char* digits)
{
    return static_cast<std::uint32_t>(HexValue(digits[0]) << 4 | HexValue(digits[1]));
}

struct Layout {
    int addressDigits;
    SRecord::Kind kind;
};

Layout LayoutOf(char type)
{
    switch (type) {
    case '1': return {4, SRecord::Kind::Data};
    case '2': return {6, SRecord::Kind::Data};
    case '3': return {8, SRecord::Kind::Data};
    case '5': return {4, SRecord::Kind::Count};
    case '6': return {6, SRecord::Kind::Count};
    case '7': return {8, SRecord::Kind::Termination};
    case '8': return {6, SRecord::Kind::Termination};
    case '9': return {4, SRecord::Kind::Termination};
    default: return {0, SRecord::Kind::Ignored};
    }
}

// Why `digits` characters of `text` are not all hexadecimal; empty if they are.
std::string DigitProblem(const char* text, std::uint32_t digits, const char* field)
{
    for (std::uint32_t i = 0; i < digits; ++i) {
        const char c = text[i];
        if (HexValue(c) >= 0)
            continue;
        if (c == '\0' || c == '\r' || c == '\n')
            return "has a byte count that runs past the end of the line";
        return std::string("has ") + field + " that is not hexadecimal";
    }
    return {};
}

// The checksum covers the count, the address and the data: the ones'
// complement of the low byte of their sum.
std::string ChecksumProblem(std::uint32_t count, const SRecord& record, const char* checksumText)
{
    std::uint32_t sum = count;
    for (int shift = 0; shift < 32; shift += 8)
        sum += record.address >> shift & 0xFF;
    for (std::uint32_t i = 0; i < record.byteCount; ++i)
        sum += ByteAt(record.dataText + 2 * i);
    const std::uint32_t expected = ~sum & 0xFF;
    const std::uint32_t found = ByteAt(checksumText);
    if (found == expected)
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "has checksum %02X where its bytes need %02X", found, expected);
    return text;
}

std::string ParseFields(const char* s, int addressDigits, SRecord& record)
{
    std::uint32_t count = 0;
    if (!ReadHex(s + 2, 2, count))
        return "has a byte count that is not two hexadecimal digits";
    if (!ReadHex(s + 4, addressDigits, record.address))
        return "has an address that is not hexadecimal";
    const std::uint32_t overhead = static_cast<std::uint32_t>(addressDigits / 2 + 1);
    if (count < overhead)
        return "has a byte count too small for its address and checksum";
    record.byteCount = count - overhead;
    record.dataText = s + 4 + addressDigits;
    const char* checksumText = record.dataText + 2 * record.byteCount;
    std::string problem = DigitProblem(record.dataText, 2 * record.byteCount, "data");
    if (problem.empty())
        problem = DigitProblem(checksumText, 2, "a checksum");
    if (problem.empty())
        problem = ChecksumProblem(count, record, checksumText);
    return problem;
}

}  // namespace

std::string ParseSRecord(const char* line, SRecord& record)
{
    record = SRecord{};
    const char* s = line;
    while (*s == ' ' || *s == '\t')
        ++s;
    if (*s != 'S' && *s != 's')
        return {};
    const Layout layout = LayoutOf(s[1]);
    if (layout.kind == SRecord::Kind::Ignored)
        return {};
    std::string problem = ParseFields(s, layout.addressDigits, record);
    if (problem.empty())
        record.kind = layout.kind;
    return problem;
}

void StoreSRecordBytes(std::uint8_t* block, const SRecord& record)
{
    for (std::uint32_t i = 0; i < record.byteCount; ++i)
        block[record.address + i] = static_cast<std::uint8_t>(ByteAt(record.dataText + 2 * i));
}
