#include "images/srecord_path.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// From the last dot of the file's own name on; empty when it has none.
std::string_view Extension(std::string_view path)
{
    const std::size_t nameStart = path.find_last_of("/\\") + 1;  // npos + 1 is 0
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart)
        return {};
    return path.substr(dot);
}

}  // namespace

bool IsSRecordPath(std::string_view path)
{
    if (Lower(path.substr(path.size() > 3 ? path.size() - 3 : 0)) == "s19")
        return true;
    const std::string extension = Lower(Extension(path));
    return std::find(kSRecordExtensions.begin(), kSRecordExtensions.end(), extension) !=
           kSRecordExtensions.end();
}
