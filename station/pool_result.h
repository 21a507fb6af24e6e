#pragma once
// What a MAC pool says when it cannot do what it was asked: the kind of
// failure, so that the station names the real cause (a locked pool is not a
// used-up range, and starting a new range for it would waste one), and a
// sentence for the user.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class PoolFailure {
    None,
    Exhausted,    // fewer addresses left than boards waiting
    Unreadable,   // missing, or cannot be read
    Locked,       // cannot be held for the change
    Unwritable,   // read, but the change cannot be kept
    NotAPool,     // read, but it says no range
    Unreachable,  // the database server does not answer
};

// A short name of the kind, for events and tests: "exhausted", ...
std::string_view PoolFailureName(PoolFailure failure);

struct PoolResult {
    PoolFailure failure = PoolFailure::None;
    std::string message;                // why, when failure is not None
    std::vector<std::string> macs;      // allocated: 16 digits each, one per port
    std::vector<std::string> warnings;  // something worth saying that did not stop it

    bool Ok() const { return failure == PoolFailure::None; }
    static PoolResult Fail(PoolFailure failure, std::string message)
    {
        PoolResult result;
        result.failure = failure;
        result.message = std::move(message);
        return result;
    }
};

// A pool's range and how much of it is spent, for `pool status`.
struct PoolSummary {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    std::uint64_t used = 0;    // handed out, whatever became of them
    std::uint64_t failed = 0;  // handed out to boards that failed
    std::uint64_t left = 0;
    // The last addresses handed out, the newest first: "ADDRESS STATE PORT".
    std::vector<std::string> lastHandedOut;
};
