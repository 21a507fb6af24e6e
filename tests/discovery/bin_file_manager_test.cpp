// The image folder monitor on a real folder with real inotify.

#include "discovery/bin_file_manager.h"
#include "platform/posix/folder_source.h"
#include "recorder.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

struct Images {
    explicit Images(const TempDir& dir) : folder(dir.Path().string()), manager(&recorder, source, folder) {}
    std::string CurrentName() const
    {
        const auto current = manager.GetCurrent();
        return current ? current->name : "<none>";
    }
    Recorder recorder;
    CPosixFolderSource source;
    std::string folder;
    CBinFileManager manager;
};

struct Choice {
    const char* name;
    Names files;
    const char* current;
};
void PrintTo(const Choice& c, std::ostream* os) { *os << c.name; }

class DefaultImage : public ::testing::TestWithParam<Choice> {};

TEST_P(DefaultImage, IsTheGreatestNameInByteOrder)
{
    TempDir dir;
    for (const std::string& file : GetParam().files)
        dir.Write(file, "image");
    Images images(dir);
    images.manager.Start();
    EXPECT_EQ(images.CurrentName(), GetParam().current);
    EXPECT_EQ(images.recorder.Count(Recorder::BinFiles), 0) << "the first scan tells nobody";
}

INSTANTIATE_TEST_SUITE_P(
    Folders, DefaultImage,
    ::testing::Values(Choice{"lower_after_upper", {"a.bin", "B.bin", "c.bin"}, "c.bin"},
                      Choice{"no_number_order", {"fw_9.bin", "fw_10.bin"}, "fw_9.bin"},
                      Choice{"upper_before_lower", {"B.bin", "a.bin"}, "a.bin"},
                      Choice{"other_files_ignored", {"z.hex", "readme.txt", "m.bin", "n.bin.bak", "o.BIN"}, "m.bin"},
                      Choice{"utf8_after_ascii", {"z.bin", "\xc3\xa9.bin"}, "\xc3\xa9.bin"},
                      Choice{"no_image", {"notes.txt"}, "<none>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CBinFileManager, AFolderNamedLikeAnImageIsListed)
{
    TempDir dir;
    dir.Write("a.bin", "image");
    fs::create_directory(dir.Path() / "b.bin");
    Images images(dir);
    images.manager.Start();
    EXPECT_EQ(images.manager.Names(), (Names{"a.bin", "b.bin"}));
    EXPECT_EQ(images.manager.GetCurrent(), (CBinFile{CBinFile::FolderFile, dir / "b.bin", "b.bin"}));
}

TEST(CBinFileManager, FollowsNamesCreatedRenamedAndRemoved)
{
    TempDir dir;
    dir.Write("a.bin", "image");
    Images images(dir);
    images.manager.Start();
    int notified = 0;

    dir.Write("c.bin", "image");
    ASSERT_TRUE(images.recorder.WaitFor(Recorder::BinFiles, ++notified));
    EXPECT_EQ(images.CurrentName(), "c.bin");

    fs::rename(dir / "c.bin", dir / "b.bin");
    ASSERT_TRUE(images.recorder.WaitFor(Recorder::BinFiles, ++notified));
    EXPECT_EQ(images.CurrentName(), "b.bin");

    dir.Write("notes.txt", "any file name counts");
    ASSERT_TRUE(images.recorder.WaitFor(Recorder::BinFiles, ++notified));
    EXPECT_EQ(images.CurrentName(), "b.bin");

    fs::remove(dir / "b.bin");
    ASSERT_TRUE(images.recorder.WaitFor(Recorder::BinFiles, ++notified));
    fs::remove(dir / "a.bin");
    ASSERT_TRUE(images.recorder.WaitFor(Recorder::BinFiles, ++notified));
    EXPECT_EQ(images.manager.GetCurrent(), std::nullopt) << "the last image removed";
}

TEST(CBinFileManager, ABrowsedFileSurvivesRescansUntilResetToFolder)
{
    TempDir dir;
    TempDir elsewhere;
    dir.Write("a.bin", "image");
    const std::string browsed = elsewhere.Write("mine.s19", "S9030000FC\n");
    Images images(dir);
    images.manager.Start();

    images.manager.SetBrowsedFile(browsed);
    EXPECT_EQ(images.recorder.Count(Recorder::BinFiles), 1);
    EXPECT_EQ(images.manager.GetCurrent(), (CBinFile{CBinFile::BrowsedFile, browsed, "mine.s19"}));

    dir.Write("z.bin", "image");
    ASSERT_TRUE(images.recorder.WaitFor(Recorder::BinFiles, 2));
    EXPECT_EQ(images.CurrentName(), "mine.s19");

    images.manager.ResetToFolder();
    EXPECT_EQ(images.recorder.Count(Recorder::BinFiles), 3);
    EXPECT_EQ(images.manager.GetCurrent(), (CBinFile{CBinFile::FolderFile, dir / "z.bin", "z.bin"}));
}

TEST(CBinFileManager, ABrowsedFileInTheFolderIsItsOwnEntry)
{
    TempDir dir;
    const std::string path = dir.Write("a.bin", "image");
    Images images(dir);
    images.manager.Start();
    images.manager.SetBrowsedFile(path);
    EXPECT_EQ(images.manager.GetCurrent()->kind, CBinFile::BrowsedFile);
    fs::remove(path);
    ASSERT_TRUE(images.recorder.WaitFor(Recorder::BinFiles, 2));
    EXPECT_EQ(images.manager.GetCurrent(), (CBinFile{CBinFile::BrowsedFile, path, "a.bin"}));
    EXPECT_EQ(images.manager.Names(), Names{});
}

// Content changes and subfolders do not count; a name change does. Wake()
// after the change tells the two apart: a pending change wins.
TEST(PosixFolderSource, OnlyFileNamesCount)
{
    TempDir dir;
    const std::string image = dir.Write("a.bin", "image");
    CPosixFolderSource source;
    ASSERT_TRUE(source.Watch(dir.Path().string()));

    std::ofstream(image, std::ios::app) << "more bytes";
    fs::create_directory(dir.Path() / "sub");
    dir.Write("sub/inner.bin", "not in the folder itself");
    source.Wake();
    EXPECT_EQ(source.WaitForChange(), WaitOutcome::Woken);

    dir.Write("b.bin", "image");
    source.Wake();
    EXPECT_EQ(source.WaitForChange(), WaitOutcome::Changed);
}

TEST(CBinFileManager, AFolderThatCannotBeWatchedIsReported)
{
    TempDir dir;
    Recorder recorder;
    CPosixFolderSource source;
    CBinFileManager manager(&recorder, source, dir / "missing");
    manager.Start();
    EXPECT_EQ(manager.GetCurrent(), std::nullopt);
    EXPECT_THAT(recorder.Failures(), ::testing::ElementsAre(::testing::StartsWith("Error in inotify_add_watch on ")));
}

// Readers hold copies: a rescan never changes or frees what they hold, and
// every copy is one whole entry, never half of an old and half of a new one.
TEST(CBinFileManager, ReadersRacingRescansGetWholeEntries)
{
    TempDir dir;
    dir.Write("a.bin", "image");
    Images images(dir);
    images.manager.Start();
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    const auto reader = [&] {
        while (!done) {
            const auto current = images.manager.GetCurrent();
            ASSERT_TRUE(current.has_value());
            ASSERT_EQ(current->path, dir / current->name);
            ASSERT_TRUE(current->name == "a.bin" || current->name == "zz_a_longer_name_than_the_other.bin");
            ++reads;
        }
    };
    std::thread readers[] = {std::thread(reader), std::thread(reader)};
    for (int i = 0; i < 200; ++i) {
        const std::string path = dir.Write("zz_a_longer_name_than_the_other.bin", "image");
        images.manager.ResetToFolder();  // a rescan on this thread too
        fs::remove(path);
    }
    ASSERT_TRUE(images.recorder.WaitFor(Recorder::BinFiles, 201));
    done = true;
    for (std::thread& thread : readers)
        thread.join();
    images.manager.Stop();
    EXPECT_GT(reads, 0);
}

}  // namespace
