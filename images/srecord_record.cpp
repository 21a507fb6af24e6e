#include "images/srecord_record.h"

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

}  // namespace

std::string ParseSRecord(const char* line, SRecord& record)
{
    record = SRecord{};
    const char* s = line;
    while (*s == ' ' || *s == '\t')
        ++s;
    if (*s != 'S' && *s != 's')
        return {};
    const char type = s[1];
    if (type == '7' || type == '8' || type == '9') {
        record.kind = SRecord::Kind::Termination;
        return {};
    }
    const int addressDigits = type == '1' ? 4 : type == '2' ? 6 : type == '3' ? 8 : 0;
    if (addressDigits == 0)
        return {};

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
    for (std::uint32_t i = 0; i < 2 * record.byteCount; ++i) {
        const char c = record.dataText[i];
        if (HexValue(c) >= 0)
            continue;
        if (c == '\0' || c == '\r' || c == '\n')
            return "has a byte count that runs past the end of the line";
        return "has data that is not hexadecimal";
    }
    record.kind = SRecord::Kind::Data;
    return {};
}

void StoreSRecordBytes(std::uint8_t* block, const SRecord& record)
{
    for (std::uint32_t i = 0; i < record.byteCount; ++i) {
        const char* digits = record.dataText + 2 * i;
        block[record.address + i] =
            static_cast<std::uint8_t>(HexValue(digits[0]) << 4 | HexValue(digits[1]));
    }
}

