#include "platform/file_lock.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

namespace {

// The lock is the handle itself: opened without sharing reads or writes,
// nobody else can open the file until it is closed, which the system does when the process
// ends, however it ends.
class Win32FileLock final : public IFileLock {
public:
    explicit Win32FileLock(HANDLE handle) : handle(handle) {}
    ~Win32FileLock() override { ::CloseHandle(handle); }

    std::string ReadNote() override
    {
        std::string note;
        char chunk[512];
        DWORD got = 0;
        ::SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
        while (::ReadFile(handle, chunk, sizeof chunk, &got, nullptr) && got > 0)
            note.append(chunk, got);
        return note;
    }

    bool WriteNote(const std::string& note) override
    {
        DWORD written = 0;
        return ::SetFilePointer(handle, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
               ::SetEndOfFile(handle) &&
               ::WriteFile(handle, note.data(), static_cast<DWORD>(note.size()), &written, nullptr) &&
               written == note.size();
    }

private:
    HANDLE handle;
};

}  // namespace

FileLockAttempt TryLockFile(const std::string& path, FileLockOptions options)
{
    // Sharing delete only: the holder may remove the file while it holds it.
    const DWORD share = FILE_SHARE_DELETE;
    const DWORD flags =
        FILE_ATTRIBUTE_NORMAL | (options.removeOnRelease ? FILE_FLAG_DELETE_ON_CLOSE : 0);
    const HANDLE handle =
        ::CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                      options.create ? OPEN_ALWAYS : OPEN_EXISTING, flags, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
        return {std::make_unique<Win32FileLock>(handle), false, {}};
    const DWORD error = ::GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED)
        return {nullptr, true, path + " is in use"};
    return {nullptr, false, "cannot open " + path + " (error " + std::to_string(error) + ")"};
}
