#include "platform/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

// A new file of an unused name in `folder`; -1 with errno set when none can
// be made. The mode is 0666 less the umask, as for any file the user writes.
int CreateFreshFile(const std::string& folder, std::string& name)
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char leaf[48];
        std::snprintf(leaf, sizeof leaf, "/.quillmark-%08x%08x.partial", random(), random());
        name = folder + leaf;
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Writes, syncs and closes `fd`; 0, or the errno of the first step that failed.
int FinishFile(int fd, const std::vector<std::uint8_t>& bytes)
{
    int error = WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

}  // namespace

std::optional<std::string> ReplaceFileContents(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::string temporary;
    const int fd = CreateFreshFile(FolderOf(path), temporary);
    if (fd < 0)
        return std::strerror(errno);
    int error = FinishFile(fd, bytes);
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error == 0)
        return std::nullopt;
    ::unlink(temporary.c_str());
    return std::strerror(error);
}
