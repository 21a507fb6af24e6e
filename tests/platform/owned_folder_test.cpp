// Owned folders and their locks: what a sweep of the temporary folder may
// remove and what it must leave alone.

#include "platform/file_lock.h"
#include "platform/owned_folder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string LockOf(const std::string& folder) { return folder + kOwnerLockSuffix; }

TEST(FileLock, IsHeldUntilReleasedAndCanGoWithTheRelease)
{
    TempDir dir;
    const std::string path = dir / "job.lock";
    FileLockAttempt first = TryLockFile(path, {.create = true, .removeOnRelease = true});
    ASSERT_TRUE(first.lock) << first.error;
    const FileLockAttempt second = TryLockFile(path);
    EXPECT_FALSE(second.lock);
    EXPECT_TRUE(second.heldElsewhere);
    first.lock.reset();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(TryLockFile(path, {.create = false}).lock);
    EXPECT_TRUE(TryLockFile(path).lock);
}

TEST(OwnedFolder, ASweepRemovesOnlyFoldersWhoseOwnerIsGone)
{
    TempDir dir;
    std::string error;
    const auto alive = COwnedFolder::Make(dir.Path().string(), "demo-", error);
    ASSERT_TRUE(alive) << error;
    // Left by a run that was killed: its lock file is there, nobody holds it.
    fs::create_directories(dir / "demo-killed/inside");
    dir.Write(LockOf(dir / "demo-killed"), "");
    // Not ours to judge: no lock file, and a link whose lock is free.
    fs::create_directory(dir / "stranger");
    fs::create_directory(dir / "target");
    fs::create_directory_symlink(dir / "target", dir / "link");
    dir.Write(LockOf(dir / "link"), "");

    EXPECT_EQ(RemoveAbandonedFolders(dir.Path().string()), 2);
    EXPECT_TRUE(fs::is_directory(alive->Path()));
    EXPECT_FALSE(fs::exists(dir / "demo-killed"));
    EXPECT_FALSE(fs::exists(LockOf(dir / "demo-killed")));
    EXPECT_TRUE(fs::is_directory(dir / "stranger"));
    EXPECT_TRUE(fs::is_directory(dir / "target"));
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
}

TEST(OwnedFolder, GoesWithItsLockWhenItsOwnerLetsGo)
{
    TempDir dir;
    std::string error;
    auto folder = COwnedFolder::Make(dir.Path().string(), "demo-", error);
    ASSERT_TRUE(folder) << error;
    dir.Write(fs::path(folder->Path()).filename().string() + "/file", "x");
    folder.reset();
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

}  // namespace
