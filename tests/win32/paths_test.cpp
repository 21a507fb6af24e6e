// Where the program lives and where its temporary files go, as Windows
// reports them, through folders whose names are not ASCII.

#include "platform/paths.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(ProgramFolder, HoldsTheRunningProgramAndEndsWithoutASeparator)
{
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_TRUE(std::filesystem::exists(PathOfUtf8(folder) / "win32_tests.exe")) << folder;
}

// TMP is where Windows looks first for the user's temporary folder.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t old[MAX_PATH + 1];
        const DWORD length = ::GetEnvironmentVariableW(L"TMP", old, MAX_PATH + 1);
        saved = length > 0 && length <= MAX_PATH ? std::wstring(old, length) : std::wstring();
    }
    void TearDown() override
    {
        ::SetEnvironmentVariableW(L"TMP", saved.empty() ? nullptr : saved.c_str());
    }
    static void SetTmp(const std::string& utf8)
    {
        ::SetEnvironmentVariableW(L"TMP", PathOfUtf8(utf8).wstring().c_str());
    }

    std::wstring saved;
    TestFolder folder;
};

TEST_F(TempFolderTest, IsTheUsersTemporaryFolderWithoutTheTrailingSeparator)
{
    const struct {
        std::string tmp;
        std::string expected;
    } cases[] = {
        {folder.Utf8() + "\\", folder.Utf8()},
        {folder.Utf8(), folder.Utf8()},
        {"C:\\", "C:\\"},  // a drive's root keeps its separator
    };
    for (const auto& c : cases) {
        SetTmp(c.tmp);
        EXPECT_EQ(TempFolder(), c.expected) << c.tmp;
        // The job's files and log go into the user's own temporary folder.
        EXPECT_EQ(PrivateTempFolder(), c.expected) << c.tmp;
    }
}

}  // namespace
