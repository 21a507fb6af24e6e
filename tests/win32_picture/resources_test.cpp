// The program's own resources, linked into this test program as into
// quillmark.exe: the icon, the version and the manifest's common controls.

#include "wizard/page_tables.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

namespace {

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length)) return L"";
    return static_cast<const wchar_t*>(value);
}

TEST(ResourcesTest, HoldTheIconAndTheVersion) {
    EXPECT_NE(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                         32, 32, 0),
              nullptr);

    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::vector<BYTE> block(GetFileVersionInfoSizeW(program, nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(program, 0, static_cast<DWORD>(block.size()), block.data()));
    EXPECT_EQ(VersionString(block, L"FileDescription"), L"Quillmark Firmware Update");
    EXPECT_EQ(VersionString(block, L"CompanyName"), L"Quillmark");
    EXPECT_EQ(VersionString(block, L"ProductName"), L"Quillmark");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), QUILLMARK_VERSION);
}

// Windows keeps the sixth version apart from the fifth, in its side-by-side
// store; wine does the same (its copy reports 5 all the same when asked).
TEST(ResourcesTest, TheManifestBringsTheCommonControlsSix) {
    HMODULE controls = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(controls, nullptr);
    wchar_t path[MAX_PATH];
    ASSERT_NE(GetModuleFileNameW(controls, path, MAX_PATH), 0u);
    std::wstring lower(path);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
    EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << lower;
    EXPECT_NE(lower.find(L"common-controls"), std::wstring::npos) << lower;
}

}  // namespace
