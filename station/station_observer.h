#pragma once
// What the station tells while it runs: each board's start, status,
// progress and end, the addresses handed out, the pool's failures, notes for
// the user and the figures at the end. How it is shown is the caller's.

#include "station/pool_result.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class BoardResult { Running, Programmed, Failed, Stopped };

// "programmed", "failed", ...: the word of the events and the report.
std::string_view BoardResultName(BoardResult result);

struct BoardEnd {
    BoardResult result = BoardResult::Running;
    std::int32_t lastStatus = 0;
    double seconds = 0;
};

struct StationSummary {
    int programmed = 0;
    int failed = 0;
    int stopped = 0;
    std::vector<std::string> journalNotes;  // what the last replay of the journal said
    std::size_t waiting = 0;                // outcomes still waiting for the server
    bool pool = false;                      // the addresses came from a pool
    std::size_t addressesUsed = 0;
    std::string poolName;
    std::optional<std::uint64_t> left;      // when the pool could tell
};

// Boards are told apart by their number, counted from 0 in the order they
// start.
class IStationObserver {
public:
    virtual ~IStationObserver() = default;
    // Before any board starts: why the station cannot, or what the journal said.
    virtual void Error(const std::string& text) = 0;
    virtual void Note(const std::string& text, const std::string& port = {}) = 0;
    virtual void PoolFailed(const PoolResult& failure) = 0;
    virtual void AddressGiven(const std::string& port, const std::string& mac) = 0;
    virtual void BoardStarted(std::size_t board, const std::string& port,
                              const std::string& mac) = 0;
    // `repeated`: the job said the same as last time (it waits).
    virtual void StatusChanged(std::size_t board, std::int32_t code, bool repeated) = 0;
    virtual void ProgressChanged(std::size_t board, int percent) = 0;
    virtual void BoardEnded(std::size_t board, const BoardEnd& end) = 0;
    virtual void Summary(const StationSummary& summary) = 0;
};
