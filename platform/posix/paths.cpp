#include "platform/paths.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <system_error>

std::string ProgramFolder()
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path().string();
    return exe.parent_path().string();
}

std::string TempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp && *tmp) ? tmp : "/tmp";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

namespace {

// A real folder (not a link), owned by us, that no one else may enter.
bool IsPrivateFolder(const std::string& folder)
{
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

}  // namespace

std::string PrivateTempFolder()
{
    const std::string folder = TempFolder() + "/quillmark-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    if (IsPrivateFolder(folder))
        return folder;
    std::string unique = folder + "-XXXXXX";
    return ::mkdtemp(unique.data()) ? unique : std::string();
}
