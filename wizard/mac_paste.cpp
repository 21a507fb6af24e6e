#include "wizard/mac_paste.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr char kBlanks[] = " \t\r\n";

bool IsHexDigit(char character)
{
    return std::isxdigit(static_cast<unsigned char>(character)) != 0;
}

bool IsSeparator(char character)
{
    return character == ':' || character == '-' || std::string_view(kBlanks).find(character) !=
                                                        std::string_view::npos;
}

std::string Upper(std::string text)
{
    for (char& character : text)
        character = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
    return text;
}

// The digits of a pasted address, in upper case; empty for any other text.
std::string AddressDigits(std::string_view text)
{
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    std::string digits;
    for (const char character : text) {
        if (IsHexDigit(character))
            digits += character;
        else if (!IsSeparator(character) || digits.empty() || digits.size() % 2 != 0)
            return {};
    }
    return Upper(digits);
}

}  // namespace

MacRowPaste PasteIntoMacRow(std::string_view pasted, const std::vector<MacRowBox>& row)
{
    MacRowPaste paste;
    const std::string digits = AddressDigits(pasted);
    const auto editable = static_cast<std::size_t>(
        std::count_if(row.begin(), row.end(), [](const MacRowBox& box) { return !box.fixed; }));
    const bool wholeRow = !digits.empty() && digits.size() == 2 * row.size();
    if (digits.empty() || (!wholeRow && (editable == 0 || digits.size() != 2 * editable)))
        return paste;
    std::size_t next = 0;
    for (const MacRowBox& box : row) {
        const std::string byte = box.fixed && !wholeRow ? std::string() : digits.substr(next, 2);
        if (box.fixed && wholeRow && Upper(box.text) != byte) {
            paste.outcome = MacRowPaste::Outcome::refused;
            paste.texts.clear();
            return paste;
        }
        paste.texts.push_back(box.fixed ? box.text : byte);
        if (!byte.empty())
            next += 2;
    }
    paste.outcome = MacRowPaste::Outcome::taken;
    return paste;
}
