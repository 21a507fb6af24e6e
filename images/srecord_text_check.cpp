#include "images/srecord_text_check.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsTextByte(std::uint8_t b)
{
    return (b >= 0x20 && b < 0x7F) || b == '\t' || b == '\r' || b == '\n';
}

bool StartsLikeARecord(const std::uint8_t* s, std::size_t size)
{
    std::size_t i = 0;
    while (i < size && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    return size - i >= 4 && (s[i] == 'S' || s[i] == 's') && s[i + 1] >= '0' && s[i + 1] <= '3' &&
           std::isxdigit(s[i + 2]) && std::isxdigit(s[i + 3]);
}

}  // namespace

bool LooksLikeSRecordText(const std::uint8_t* bytes, std::size_t size)
{
    return StartsLikeARecord(bytes, size) && std::all_of(bytes, bytes + size, IsTextByte);
}
