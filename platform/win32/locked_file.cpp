#include "platform/locked_file.h"

#include "platform/win32/wide_text.h"

#include <algorithm>

#include <windows.h>

namespace {

// LockFileEx over the whole file: another process's LockFileEx waits, as
// flock does on Linux. The file is shared for reading and writing so that
// those processes can open it to wait.
class Win32LockedFile final : public ILockedFile {
public:
    explicit Win32LockedFile(HANDLE file) : file(file) {}
    ~Win32LockedFile() override
    {
        OVERLAPPED whole{};
        ::UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
        ::CloseHandle(file);
    }

    std::optional<std::string> ReadAll() override
    {
        LARGE_INTEGER start{};
        if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
            return Fail("read");
        std::string content;
        char chunk[8192];
        for (;;) {
            DWORD read = 0;
            if (!::ReadFile(file, chunk, sizeof chunk, &read, nullptr))
                return Fail("read");
            if (read == 0)
                return content;
            content.append(chunk, read);
        }
    }

    bool Append(std::string_view text) override
    {
        LARGE_INTEGER none{};
        if (!::SetFilePointerEx(file, none, nullptr, FILE_END))
            return Fail("write").has_value();
        while (!text.empty()) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 20));
            if (!::WriteFile(file, text.data(), chunk, &written, nullptr) || written == 0)
                return Fail("write").has_value();
            text.remove_prefix(written);
        }
        if (!::FlushFileBuffers(file))
            return Fail("flush").has_value();
        return true;
    }

    std::string Error() const override { return error; }

private:
    std::optional<std::string> Fail(const char* call)
    {
        error = std::string(call) + ": " + SystemErrorText(::GetLastError());
        return std::nullopt;
    }

    HANDLE file;
    std::string error;
};

}  // namespace

std::unique_ptr<ILockedFile> OpenLockedFile(const std::string& path, LockedFileMode mode,
                                            std::string& error)
{
    const HANDLE file = ::CreateFileW(
        Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, mode == LockedFileMode::CreateIfMissing ? OPEN_ALWAYS : OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = SystemErrorText(::GetLastError());
        return nullptr;
    }
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        error = "not a regular file";
        ::CloseHandle(file);
        return nullptr;
    }
    OVERLAPPED whole{};
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        error = "lock: " + SystemErrorText(::GetLastError());
        ::CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<Win32LockedFile>(file);
}
