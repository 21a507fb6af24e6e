#pragma once
// Keeps each board's outcome: the state of its address in the pool and its
// record in the report. When a database cannot be reached the outcome goes
// to the local journal instead, and is sent on when the server answers again,
// so that a server going away loses nothing.

#include "station/address_pool.h"
#include "station/board_sink.h"
#include "station/outcome_journal.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct BoardOutcome {
    std::string mac;
    PoolState state = PoolState::Failed;
    std::string port;
    std::string time;
    std::string imageSha256;
    std::optional<BoardRecord> record;  // when the station keeps a report
};

class OutcomeWriter {
public:
    // Either may be null: the station has no pool, or no report.
    OutcomeWriter(IAddressPool* pool, IBoardSink* sink, std::string journalPath)
        : pool(pool), sink(sink), journal(std::move(journalPath))
    {
    }

    // Sentences for the user (warnings, what went to the journal).
    std::vector<std::string> Write(const BoardOutcome& outcome);

    // Sends the journal's entries for this station's pool and report. False
    // when some stay because a server is still away.
    bool Replay(std::vector<std::string>& notes);

    // Entries waiting in the journal for this station's pool or report.
    std::size_t Waiting();

private:
    PoolResult Send(const JournalEntry& entry);
    void Keep(JournalEntry entry, const PoolResult& failure, std::vector<std::string>& notes);
    bool ServerRecentlyAway() const;

    IAddressPool* pool;
    IBoardSink* sink;
    OutcomeJournal journal;
    std::optional<std::chrono::steady_clock::time_point> lastAway;
};

JournalEntry AddressEntry(const std::string& target, const BoardOutcome& outcome);
JournalEntry BoardEntry(const std::string& target, const BoardRecord& record);
std::optional<BoardRecord> RecordOfEntry(const JournalEntry& entry);
