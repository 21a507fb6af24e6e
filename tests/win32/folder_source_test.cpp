// The image folder source on a real folder of the wine prefix's machine,
// with the system's own folder change notification. The folder's name is
// not ASCII, so every call goes through the UTF-16 crossing.

#include "guarded_wait.h"
#include "platform/win32/folder_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>

#include <windows.h>

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

fs::path FromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string Utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

class TempFolder {
public:
    TempFolder()
    {
        static std::atomic<int> made{0};
        const std::string unique = std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(made++);
        path = fs::temp_directory_path() / FromUtf8("quillmark-Bild\xc3\xa4r-" + unique);
        fs::create_directories(path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path operator/(const std::string& name) const { return path / FromUtf8(name); }
    std::string Utf8Path() const { return Utf8(path); }
    void Write(const std::string& name, const std::string& content = "image") const
    {
        std::ofstream(*this / name, std::ios::binary | std::ios::app) << content;
    }

private:
    fs::path path;
};

struct Listing {
    const char* name;
    Names files;
    Names folders;
    Names listed;
};
void PrintTo(const Listing& l, std::ostream* os) { *os << l.name; }

class BinListing : public ::testing::TestWithParam<Listing> {};

// The system lists in its own order (wine: the host file system's), so the
// order is not compared here; the image folder monitor sorts.
TEST_P(BinListing, ListsNamesEndingInBinInAnyCase)
{
    TempFolder folder;
    for (const std::string& file : GetParam().files)
        folder.Write(file);
    for (const std::string& sub : GetParam().folders)
        fs::create_directory(folder / sub);
    CWin32FolderSource source;
    EXPECT_THAT(source.ListBinFiles(folder.Utf8Path()), ::testing::UnorderedElementsAreArray(GetParam().listed));
}

// longer_extensions: wine gives fw.binary the short name FW~~~54J.BIN,
// and the system's pattern matches it through that, as Windows does on
// volumes that keep short names.
INSTANTIATE_TEST_SUITE_P(
    Folders, BinListing,
    ::testing::Values(Listing{"any_case", {"a.bin", "B.BIN", "c.Bin", "d.hex", "e.bin.bak"}, {}, {"a.bin", "B.BIN", "c.Bin"}},
                      Listing{"longer_extensions", {"fw.binary", "fw.bin2", "x.bin"}, {}, {"x.bin"}},
                      Listing{"non_ascii_name", {"Ger\xc3\xa4t-\xe2\x82\xac.bin"}, {}, {"Ger\xc3\xa4t-\xe2\x82\xac.bin"}},
                      Listing{"folder_named_like_an_image", {"a.bin"}, {"old.bin"}, {"a.bin", "old.bin"}},
                      Listing{"no_image", {"notes.txt"}, {"sub"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Names created, deleted or renamed in the folder count, of any file;
// writes to a file and subfolders do not. Those are given kQuiet to show up
// all the same. Not here: the watched folder itself removed. Under wine 8
// that ends no wait, and the list stays as last read; Windows may refuse
// the removal while we hold the folder open, or report it.
struct FolderChange {
    const char* name;
    std::function<void(const TempFolder&)> change;
    WaitOutcome outcome;
};
void PrintTo(const FolderChange& c, std::ostream* os) { *os << c.name; }

class FolderWait : public ::testing::TestWithParam<FolderChange> {};

TEST_P(FolderWait, OnlyFileNamesInTheFolderCount)
{
    TempFolder folder;
    folder.Write("a.bin");
    fs::create_directory(folder / "sub");
    CWin32FolderSource source;
    ASSERT_TRUE(source.Watch(folder.Utf8Path())) << source.FailedCall();
    GetParam().change(folder);
    const auto guard = GetParam().outcome == WaitOutcome::Changed ? kSignalled : kQuiet;
    EXPECT_EQ(GuardedWait(source, guard), GetParam().outcome);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FolderWait,
    ::testing::Values(
        FolderChange{"image_created", [](const TempFolder& f) { f.Write("b.bin"); }, WaitOutcome::Changed},
        FolderChange{"other_file_created", [](const TempFolder& f) { f.Write("notes.txt"); }, WaitOutcome::Changed},
        FolderChange{"image_deleted", [](const TempFolder& f) { fs::remove(f / "a.bin"); }, WaitOutcome::Changed},
        FolderChange{"image_renamed", [](const TempFolder& f) { fs::rename(f / "a.bin", f / "z.bin"); },
                     WaitOutcome::Changed},
        FolderChange{"image_written", [](const TempFolder& f) { f.Write("a.bin", "more bytes"); }, WaitOutcome::Woken},
        FolderChange{"subfolder_created", [](const TempFolder& f) { fs::create_directory(f / "new.bin"); },
                     WaitOutcome::Woken},
        FolderChange{"file_in_subfolder", [](const TempFolder& f) { f.Write("sub/inner.bin"); }, WaitOutcome::Woken}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Win32FolderSource, EveryChangeIsSeenAfterTheOneBefore)
{
    TempFolder folder;
    CWin32FolderSource source;
    ASSERT_TRUE(source.Watch(folder.Utf8Path())) << source.FailedCall();
    for (const char* name : {"1.bin", "2.bin", "3.bin"}) {
        folder.Write(name);
        EXPECT_EQ(GuardedWait(source, kSignalled), WaitOutcome::Changed) << name;
        EXPECT_THAT(source.ListBinFiles(folder.Utf8Path()), ::testing::Contains(name));
    }
    EXPECT_EQ(GuardedWait(source, kQuiet), WaitOutcome::Woken) << "a change seen is not seen again";
}

TEST(Win32FolderSource, WakeEndsARunningAndTheNextWait)
{
    TempFolder folder;
    CWin32FolderSource source;
    ASSERT_TRUE(source.Watch(folder.Utf8Path())) << source.FailedCall();
    auto waiting = std::async(std::launch::async, [&source] { return source.WaitForChange(); });
    ::Sleep(100);  // most likely inside the wait by now; either way it must end
    source.Wake();
    EXPECT_EQ(waiting.get(), WaitOutcome::Woken);
    source.Wake();
    EXPECT_EQ(source.WaitForChange(), WaitOutcome::Woken);
}

TEST(Win32FolderSource, AMissingFolderListsNothingAndCannotBeWatched)
{
    TempFolder folder;
    const std::string missing = Utf8(folder / "missing");
    CWin32FolderSource source;
    EXPECT_EQ(source.ListBinFiles(missing), Names{});
    EXPECT_FALSE(source.Watch(missing));
    EXPECT_THAT(source.FailedCall(), ::testing::StartsWith("FindFirstChangeNotificationW on " + missing + " ("));
    EXPECT_EQ(source.WaitForChange(), WaitOutcome::Failed);
}

}  // namespace
