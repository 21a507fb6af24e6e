#pragma once
// The MAC pool: a plain text file that hands out each address of a range
// once, to one board, for ever, however many stations share it.
//
//   range,0050C20000000000,0050C200000000FF
//   0050C20000000000,allocated,ttyUSB0,2026-12-08T13:05:00Z,<image SHA-256>
//   0050C20000000000,programmed,ttyUSB0,2026-12-08T13:05:41Z,<image SHA-256>
//
// The first line names the range; every use appends a line. Addresses are
// handed out in order: the next one follows the highest ever written, so an
// address whose board failed is never handed out again. A line that a dying
// process left unfinished counts as one more address used (it may have been
// the allocation of the next one), and as the use of any address it names;
// the next writer ends it with ",torn" so that it still reads as such when
// more lines follow.

#include "station/pool_result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class PoolState { Allocated, Programmed, Failed };

std::string_view PoolStateName(PoolState state);

// 16 hexadecimal digits as a number; nothing for anything else.
std::optional<std::uint64_t> ParseMacValue(std::string_view text);
// 16 upper-case hexadecimal digits.
std::string MacValueText(std::uint64_t value);

// What closes a torn last line before the next line is appended.
inline constexpr std::string_view kTornLineEnd = ",torn\n";

// What a pool file says.
struct PoolReading {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    // The first address never handed out; last + 1 once the range is used up
    // (it may lie beyond: a torn line counts even at the end of the range).
    std::uint64_t next = 0;
    // What ends the last line before anything is appended: nothing, a line
    // break, or kTornLineEnd after a torn line.
    std::string_view lineEnd;
    // One sentence per torn line, for the user.
    std::vector<std::string> warnings;

    std::uint64_t Remaining() const { return next > last ? 0 : last - next + 1; }
};

// Reads a pool file's text. Nothing, with `error` set to a sentence that
// names the line, when the text is no pool.
std::optional<PoolReading> ReadPoolText(std::string_view text, std::string& error);

// One use of an address, as a line of the file (with its line break). Commas
// and line breaks in the port name would break the columns: they become '_'.
std::string PoolLine(std::uint64_t address, PoolState state, std::string_view port,
                     std::string_view utcTime, std::string_view imageSha256);


struct PoolAllocation {
    std::vector<std::string> macs;      // 16 digits each, one per port; empty on failure
    std::vector<std::string> warnings;  // torn lines found
    std::string error;                  // why nothing was allocated
    PoolFailure failure = PoolFailure::None;
};

// A pool file on the disk, locked for each reading and each change.
class MacPool {
public:
    explicit MacPool(std::string path);

    const std::string& Path() const { return path; }

    // Reads the pool (under the lock) to check it before anything starts.
    // `failure`, when given, gets the kind of a failure.
    std::optional<PoolReading> Check(std::string& error, PoolFailure* failure = nullptr) const;

    // Hands out one address per port, all or none: each is written and on
    // the disk before this returns. Fails with a sentence in `error` when
    // the file cannot be read, locked or written, or when fewer addresses
    // are left than ports given.
    PoolAllocation Allocate(const std::vector<std::string>& ports, std::string_view utcTime,
                            std::string_view imageSha256);

    // Appends what became of an address. False, with `error`, on failure.
    bool Record(const std::string& mac, PoolState state, std::string_view port,
                std::string_view utcTime, std::string_view imageSha256, std::string& error,
                PoolFailure* failure = nullptr);

private:
    std::string path;
};
