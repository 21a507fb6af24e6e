#include "job/mac_address.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view kFixedPrefix = "0050C2";

std::string ToUpper(std::string_view text)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

bool IsHexDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isxdigit(c) != 0; });
}

}  // namespace

std::uint8_t HexPairToByte(char high, char low)
{
    auto value = [](char c) { return c <= '9' ? c - 0x30 : c - 0x37; };
    return static_cast<std::uint8_t>(16 * value(high) + value(low));
}

int HexTextToBytes(std::string_view text, std::uint8_t* destination, int count)
{
    std::string digits = ToUpper(text);
    if (digits.starts_with("0X"))
        digits.erase(0, 2);
    const std::size_t wanted = 2 * static_cast<std::size_t>(count);
    if (digits.size() < wanted)
        digits.insert(0, wanted - digits.size(), '0');
    for (int i = 0; i < count; ++i)
        destination[count - 1 - i] = HexPairToByte(digits[2 * i], digits[2 * i + 1]);
    return 0;
}

MacBytes MacTextToBytes(std::string_view text)
{
    MacBytes bytes{};
    HexTextToBytes(text, bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

bool IsValidMacText(std::string_view text) { return text.size() == 16 && IsHexDigits(text); }

std::optional<std::string> ParseMacArgument(std::string_view text)
{
    if (!IsHexDigits(text))
        return std::nullopt;
    if (text.size() == 16)
        return ToUpper(text);
    if (text.size() == 10)
        return std::string(kFixedPrefix) + ToUpper(text);
    return std::nullopt;
}
