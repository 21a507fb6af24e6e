#include "platform/replace_file.h"

#include "platform/win32/wide_text.h"

#include <cstdio>
#include <filesystem>
#include <random>

namespace {

std::wstring FolderOf(const std::wstring& path)
{
    const std::size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? L"." : path.substr(0, cut);
}

// A new file of an unused name in `folder`, created exclusively.
HANDLE CreateFreshFile(const std::wstring& folder, std::wstring& name)
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t leaf[48];
        std::swprintf(leaf, 48, L"\\.quillmark-%08x%08x.partial", random(), random());
        name = folder + leaf;
        const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

}  // namespace

std::optional<std::string> ReplaceFileContents(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    const std::wstring target = Widen(path);
    std::wstring temporary;
    const HANDLE file = CreateFreshFile(FolderOf(target), temporary);
    if (file == INVALID_HANDLE_VALUE)
        return SystemErrorText(::GetLastError());
    DWORD error = WriteAll(file, bytes) && ::FlushFileBuffers(file) ? 0 : ::GetLastError();
    if (!::CloseHandle(file) && error == 0)
        error = ::GetLastError();
    if (error == 0 && !::MoveFileExW(temporary.c_str(), target.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = ::GetLastError();
    if (error == 0)
        return std::nullopt;
    ::DeleteFileW(temporary.c_str());
    return SystemErrorText(error);
}
