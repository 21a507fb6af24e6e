#include "platform/paths.h"

#include "platform/win32/wide_text.h"

#include <filesystem>

namespace {

std::wstring WithoutTrailingSeparator(std::wstring folder)
{
    // "C:\" keeps its separator: without it, it names the drive's current folder.
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return folder;
}

}  // namespace

std::string ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::filesystem::current_path().string();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // cut short: try a larger buffer
    }
    const std::size_t cut = path.find_last_of(L"\\/");
    return Narrow(cut == std::wstring::npos ? path : WithoutTrailingSeparator(path.substr(0, cut + 1)));
}

std::string TempFolder()
{
    wchar_t path[MAX_PATH + 2];
    const DWORD length = ::GetTempPathW(MAX_PATH + 2, path);
    if (length == 0 || length > MAX_PATH + 1)
        return {};
    return Narrow(WithoutTrailingSeparator(std::wstring(path, length)));
}

// The temporary folder is the user's own on Windows (below the user's
// profile), so the job's files and log live there directly.
std::string PrivateTempFolder() { return TempFolder(); }
