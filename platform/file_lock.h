#pragma once
// A lock on a file that lasts while this process holds it and ends with the
// process, however it ends: a crash or a SIGKILL releases it too. That is
// what tells a folder or a job whose owner still runs from one left behind by
// a program that was killed.

#include <memory>
#include <string>

class IFileLock {
public:
    virtual ~IFileLock() = default;  // releases the lock

    // A short note in the lock file: what its holder made that a holder
    // after a crash must clear. The note is only read by the next holder.
    virtual std::string ReadNote() = 0;
    virtual bool WriteNote(const std::string& note) = 0;
};

struct FileLockOptions {
    bool create = true;           // make the file when it is missing
    bool removeOnRelease = false; // the file goes when the lock is released
};

struct FileLockAttempt {
    std::unique_ptr<IFileLock> lock;  // set when the lock was taken
    bool heldElsewhere = false;       // another holder has it now
    std::string error;                // why it failed otherwise
};

// Takes the lock on the file at `path` without waiting.
FileLockAttempt TryLockFile(const std::string& path, FileLockOptions options = {});
