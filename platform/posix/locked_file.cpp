#include "platform/locked_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// flock rather than fcntl record locks: a record lock belongs to the process
// and is dropped when any descriptor of the file is closed, which a second
// reader in the same process would do by accident.
class PosixLockedFile final : public ILockedFile {
public:
    explicit PosixLockedFile(int fd) : fd(fd) {}
    ~PosixLockedFile() override
    {
        ::flock(fd, LOCK_UN);
        ::close(fd);
    }

    std::optional<std::string> ReadAll() override
    {
        std::string content;
        char chunk[8192];
        off_t offset = 0;
        for (;;) {
            const ssize_t n = ::pread(fd, chunk, sizeof chunk, offset);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return Fail("read");
            if (n == 0)
                return content;
            content.append(chunk, static_cast<std::size_t>(n));
            offset += n;
        }
    }

    bool Append(std::string_view text) override
    {
        while (!text.empty()) {
            const ssize_t n = ::write(fd, text.data(), text.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return Fail("write").has_value();
            text.remove_prefix(static_cast<std::size_t>(n));
        }
        while (::fsync(fd) != 0) {
            if (errno != EINTR)
                return Fail("fsync").has_value();
        }
        return true;
    }

    std::string Error() const override { return error; }

private:
    std::optional<std::string> Fail(const char* call)
    {
        error = std::string(call) + ": " + std::strerror(errno);
        return std::nullopt;
    }

    int fd;
    std::string error;
};

}  // namespace

std::unique_ptr<ILockedFile> OpenLockedFile(const std::string& path, LockedFileMode mode,
                                            std::string& error)
{
    int flags = O_RDWR | O_APPEND | O_CLOEXEC | O_NOCTTY;
    if (mode == LockedFileMode::CreateIfMissing)
        flags |= O_CREAT;
    const int fd = ::open(path.c_str(), flags, 0664);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "not a regular file";
        ::close(fd);
        return nullptr;
    }
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            error = std::string("lock: ") + std::strerror(errno);
            ::close(fd);
            return nullptr;
        }
    }
    return std::make_unique<PosixLockedFile>(fd);
}
