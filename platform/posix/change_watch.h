#pragma once
// inotify on a few folders plus an eventfd that ends the wait early: the
// watch threads block in poll() on both and never spin.

#include "platform/change_wait.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <sys/inotify.h>

// Names created, deleted or moved in or out: what every source watches for.
inline constexpr std::uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

class CPosixChangeWatch {
public:
    // Decides whether one event in the watched folder `dir` counts as a change.
    using Filter = std::function<bool(const std::string& dir, std::string_view name, std::uint32_t mask)>;

    CPosixChangeWatch();
    ~CPosixChangeWatch();
    CPosixChangeWatch(const CPosixChangeWatch&) = delete;
    CPosixChangeWatch& operator=(const CPosixChangeWatch&) = delete;

    // Watches `dir` (no subfolders) for the events in `mask`; idempotent.
    // False when it cannot, or when the watch could not be made at all.
    bool Add(const std::string& dir, std::uint32_t mask);
    bool IsWatched(const std::string& dir) const;
    // Blocks until a relevant event or Wake(). Irrelevant events are drained
    // and the wait goes on.
    WaitOutcome Wait(const Filter& relevant);
    void Wake();

    const std::string& FailedCall() const { return failedCall; }

private:
    enum class Drained { Nothing, Relevant, Failed };
    Drained DrainEvents(const Filter& relevant);
    bool DrainWake();
    bool Fail(std::string call);

    int inotifyFd;
    int wakeFd;
    std::map<int, std::string> watched;  // watch descriptor -> folder
    std::string failedCall;
};
