#include "platform/paths.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Points TMPDIR at a test folder for the test's duration.
class PrivateTempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("TMPDIR");
        saved = old ? old : "";
        hadTmpDir = old != nullptr;
        ::setenv("TMPDIR", dir.Path().c_str(), 1);
    }
    void TearDown() override
    {
        if (hadTmpDir)
            ::setenv("TMPDIR", saved.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

    static bool OnlyOwnerMayEnter(const std::string& folder)
    {
        struct stat info {};
        return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
               info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
    }

    std::string Usual() const { return dir / ("quillmark-" + std::to_string(::getuid())); }

    TempDir dir;
    std::string saved;
    bool hadTmpDir = false;
};

TEST_F(PrivateTempFolderTest, MadeOnceForThisUserOnly)
{
    EXPECT_EQ(PrivateTempFolder(), Usual());
    EXPECT_TRUE(OnlyOwnerMayEnter(Usual()));
    EXPECT_EQ(PrivateTempFolder(), Usual());
}

struct Planted {
    const char* name;
    void (*plant)(const std::string& usual, const fs::path& elsewhere);
};

void PrintTo(const Planted& p, std::ostream* os) { *os << p.name; }

class PlantedFolder : public PrivateTempFolderTest, public ::testing::WithParamInterface<Planted> {};

// Whatever someone left under the usual name, the job's files go to a
// folder of their own.
TEST_P(PlantedFolder, IsNotUsed)
{
    const fs::path elsewhere = dir.Path() / "elsewhere";
    fs::create_directory(elsewhere);
    GetParam().plant(Usual(), elsewhere);
    const std::string folder = PrivateTempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder, Usual());
    EXPECT_TRUE(OnlyOwnerMayEnter(folder));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlantedFolder,
    ::testing::Values(
        Planted{"link_to_another_folder",
                [](const std::string& usual, const fs::path& elsewhere) {
                    fs::create_directory_symlink(elsewhere, usual);
                }},
        Planted{"folder_others_may_write",
                [](const std::string& usual, const fs::path&) {
                    fs::create_directory(usual);
                    ::chmod(usual.c_str(), 0777);
                }},
        Planted{"plain_file", [](const std::string& usual, const fs::path&) {
                    std::ofstream(usual) << "x";
                }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
