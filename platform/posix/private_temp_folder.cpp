// The folder for the J-Link job's files and log. It must be out of everyone
// else's reach, and it must be the same folder on every run: a new one each
// time would be left behind by every job and scatter the log.

#include "platform/paths.h"

#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A real folder (not a link), owned by us, that no one else may enter.
bool IsPrivateFolder(const std::string& folder)
{
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// Makes `folder` for us alone when it is missing. Whatever was there before
// is only used when it is private.
bool Claim(const std::string& folder)
{
    ::mkdir(folder.c_str(), 0700);
    return IsPrivateFolder(folder);
}

// A folder named by the environment; empty when unset or relative, which the
// base directory conventions say to ignore.
std::string FolderFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    std::string folder = (value && value[0] == '/') ? value : "";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// The session's runtime folder is private by rule; one that is not is not
// trusted.
std::string RuntimeCandidate()
{
    const std::string runtime = FolderFromEnvironment("XDG_RUNTIME_DIR");
    return !runtime.empty() && IsPrivateFolder(runtime) ? runtime + "/quillmark" : "";
}

// The user's cache folder; the folders missing on its way are made for the
// user alone, as the conventions ask.
std::string CacheCandidate()
{
    std::string cache = FolderFromEnvironment("XDG_CACHE_HOME");
    if (cache.empty()) {
        const std::string home = FolderFromEnvironment("HOME");
        if (home.empty())
            return {};
        cache = home + "/.cache";
    }
    for (std::size_t at = cache.find('/', 1); at != std::string::npos; at = cache.find('/', at + 1))
        ::mkdir(cache.substr(0, at).c_str(), 0700);
    ::mkdir(cache.c_str(), 0700);
    return cache + "/quillmark";
}

}  // namespace

std::string PrivateTempFolder()
{
    const std::string usual = TempFolder() + "/quillmark-" + std::to_string(::getuid());
    if (Claim(usual))
        return usual;
    // Someone else has the usual name: a folder of ours that nobody else can
    // take over instead, tried only now so that nothing is made needlessly.
    for (auto candidate : {RuntimeCandidate, CacheCandidate}) {
        const std::string folder = candidate();
        if (!folder.empty() && Claim(folder))
            return folder;
    }
    return {};
}
