#pragma once
// A file that several processes share and append to in turn: while one of
// them holds it, it has the file to itself (an exclusive lock), and what it
// appends is on the disk before Append returns, so that neither a crash nor a
// power cut loses a line another step already relies on.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class ILockedFile {
public:
    virtual ~ILockedFile() = default;  // releases the lock

    // The whole content as it is now; nothing when reading failed.
    virtual std::optional<std::string> ReadAll() = 0;

    // Appends `text` at the end of the file and flushes it to the disk. False
    // when either failed; Error() says why.
    virtual bool Append(std::string_view text) = 0;

    // The system's words for the last failure.
    virtual std::string Error() const = 0;
};

enum class LockedFileMode {
    Existing,        // the file must exist already
    CreateIfMissing, // made empty (readable and writable by its owner and group, read by others)
};

// Opens the file at `path` and waits until no other process holds it. Null
// when it cannot be opened or locked; `error` then names the reason.
std::unique_ptr<ILockedFile> OpenLockedFile(const std::string& path, LockedFileMode mode,
                                            std::string& error);
