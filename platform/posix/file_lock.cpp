#include "platform/file_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// flock rather than fcntl record locks: a record lock is dropped when any
// descriptor of the file in the process closes, flock's only with its own.
class PosixFileLock final : public IFileLock {
public:
    PosixFileLock(int fd, std::string path, bool remove)
        : fd(fd), path(std::move(path)), remove(remove)
    {
    }
    // Unlinked while still held, so that whoever locks the name next locks a
    // new file and never one that is on its way out.
    ~PosixFileLock() override
    {
        if (remove)
            ::unlink(path.c_str());
        ::close(fd);
    }

    std::string ReadNote() override
    {
        std::string note;
        char chunk[512];
        ssize_t n;
        while ((n = ::pread(fd, chunk, sizeof chunk, static_cast<off_t>(note.size()))) > 0)
            note.append(chunk, static_cast<std::size_t>(n));
        return note;
    }

    bool WriteNote(const std::string& note) override
    {
        return ::ftruncate(fd, 0) == 0 &&
               ::pwrite(fd, note.data(), note.size(), 0) == static_cast<ssize_t>(note.size());
    }

private:
    int fd;
    std::string path;
    bool remove;
};

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

FileLockAttempt Failure(const std::string& what)
{
    return {nullptr, false, what + ": " + std::strerror(errno)};
}

}  // namespace

FileLockAttempt TryLockFile(const std::string& path, FileLockOptions options)
{
    // A lock file removed by its last holder may vanish between the open and
    // the lock: then the name is locked again, on the file it has now.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | (options.create ? O_CREAT : 0);
        const int fd = ::open(path.c_str(), flags, 0600);
        if (fd < 0)
            return Failure("cannot open " + path);
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_uid != ::getuid()) {
            ::close(fd);
            return {nullptr, false, path + " is not a lock file of this user"};
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool busy = errno == EWOULDBLOCK;
            FileLockAttempt result = busy ? FileLockAttempt{nullptr, true, path + " is in use"}
                                          : Failure("cannot lock " + path);
            ::close(fd);
            return result;
        }
        struct stat named {};
        if (::stat(path.c_str(), &named) == 0 && SameFile(opened, named))
            return {std::make_unique<PosixFileLock>(fd, path, options.removeOnRelease), false, {}};
        ::close(fd);
        if (!options.create)
            return {nullptr, false, path + " went away"};
    }
    return {nullptr, false, "cannot lock " + path + ": it keeps being replaced"};
}
