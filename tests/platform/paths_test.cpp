#include "platform/paths.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Points TMPDIR, HOME and the XDG folders at test folders (or unsets them)
// for the test's duration.
class PrivateTempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"TMPDIR", "HOME", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME"}) {
            const char* old = std::getenv(name);
            saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
            ::unsetenv(name);
        }
        ::setenv("TMPDIR", dir.Path().c_str(), 1);
        ::setenv("HOME", (dir / "home").c_str(), 1);
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

    static bool OnlyOwnerMayEnter(const std::string& folder)
    {
        struct stat info {};
        return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
               info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
    }

    std::string Usual() const { return dir / ("quillmark-" + std::to_string(::getuid())); }

    TempDir dir;
    std::map<std::string, std::optional<std::string>> saved;
};

TEST_F(PrivateTempFolderTest, MadeOnceForThisUserOnly)
{
    EXPECT_EQ(PrivateTempFolder(), Usual());
    EXPECT_TRUE(OnlyOwnerMayEnter(Usual()));
    EXPECT_EQ(PrivateTempFolder(), Usual());
}

// Folders a case makes below the test folder before the call.
void LinkToElsewhere(const TempDir& dir, const std::string& at)
{
    fs::create_directories(dir / "elsewhere");
    fs::create_directories(fs::path(at).parent_path());
    fs::create_directory_symlink(dir / "elsewhere", at);
}
void OpenToAll(const TempDir&, const std::string& at)
{
    fs::create_directories(at);
    ::chmod(at.c_str(), 0777);
}
void PlainFile(const TempDir&, const std::string& at)
{
    fs::create_directories(fs::path(at).parent_path());
    std::ofstream(at) << "x";
}
void Private(const TempDir&, const std::string& at)
{
    fs::create_directories(at);
    ::chmod(at.c_str(), 0700);
}

struct FallbackCase {
    const char* name;
    void (*plantUsual)(const TempDir&, const std::string& at);
    const char* runtime;  // XDG_RUNTIME_DIR below the test folder; none when empty
    void (*makeRuntime)(const TempDir&, const std::string& at);
    const char* cacheHome;  // XDG_CACHE_HOME below the test folder; none when empty
    void (*plantCache)(const TempDir&, const std::string& at);  // at the expected cache folder
    const char* expected;  // below the test folder; empty: no folder at all
};
void PrintTo(const FallbackCase& c, std::ostream* os) { *os << c.name; }

class Fallback : public PrivateTempFolderTest, public ::testing::WithParamInterface<FallbackCase> {};

// Whatever someone left under the usual name, the job's files go to one
// private folder of this user's, the same on every run.
TEST_P(Fallback, IsOneStablePrivateFolder)
{
    const FallbackCase& c = GetParam();
    c.plantUsual(dir, Usual());
    if (*c.runtime) {
        c.makeRuntime(dir, dir / c.runtime);
        ::setenv("XDG_RUNTIME_DIR", (dir / c.runtime).c_str(), 1);
    }
    if (*c.cacheHome)
        ::setenv("XDG_CACHE_HOME", (dir / c.cacheHome).c_str(), 1);
    if (c.plantCache)
        c.plantCache(dir, dir / (*c.cacheHome ? std::string(c.cacheHome) : "home/.cache") + "/quillmark");
    const std::string expected = *c.expected ? dir / c.expected : "";
    EXPECT_EQ(PrivateTempFolder(), expected);
    EXPECT_EQ(PrivateTempFolder(), expected);
    EXPECT_TRUE(expected.empty() || OnlyOwnerMayEnter(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Fallback,
    ::testing::Values(
        FallbackCase{"LinkWithRuntimeFolder", LinkToElsewhere, "run", Private, "", nullptr,
                     "run/quillmark"},
        FallbackCase{"OpenToAllWithCacheHome", OpenToAll, "", nullptr, "cache", nullptr,
                     "cache/quillmark"},
        FallbackCase{"PlainFileWithHomeOnly", PlainFile, "", nullptr, "", nullptr,
                     "home/.cache/quillmark"},
        FallbackCase{"RuntimeFolderOpenToAll", LinkToElsewhere, "run", OpenToAll, "", nullptr,
                     "home/.cache/quillmark"},
        FallbackCase{"CacheFolderLinked", LinkToElsewhere, "", nullptr, "", LinkToElsewhere, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
