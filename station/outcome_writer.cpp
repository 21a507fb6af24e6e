#include "station/outcome_writer.h"

#include <cstdlib>

namespace {

// After a server did not answer, the next outcomes go straight to the
// journal for a while: each try may wait out a connection timeout, and the
// boards' messages wait with it.
constexpr auto kRetryAfter = std::chrono::seconds(3);

std::optional<PoolState> StateNamed(const std::string& name)
{
    for (PoolState state : {PoolState::Allocated, PoolState::Programmed, PoolState::Failed}) {
        if (name == PoolStateName(state))
            return state;
    }
    return std::nullopt;
}

}  // namespace

JournalEntry AddressEntry(const std::string& target, const BoardOutcome& outcome)
{
    return {"address", target,
            {outcome.mac, std::string(PoolStateName(outcome.state)), outcome.port, outcome.time,
             outcome.imageSha256}};
}

JournalEntry BoardEntry(const std::string& target, const BoardRecord& r)
{
    return {"board", target,
            {r.time, r.host, r.port, r.mac, r.imagePath, r.imageSha256,
             std::to_string(r.imageLength), std::to_string(r.statusCode), r.statusText, r.result,
             std::to_string(r.seconds)}};
}

std::optional<BoardRecord> RecordOfEntry(const JournalEntry& entry)
{
    const auto& f = entry.fields;
    if (entry.kind != "board" || f.size() != 11)
        return std::nullopt;
    BoardRecord r;
    r.time = f[0];
    r.host = f[1];
    r.port = f[2];
    r.mac = f[3];
    r.imagePath = f[4];
    r.imageSha256 = f[5];
    r.imageLength = static_cast<std::uint32_t>(std::strtoul(f[6].c_str(), nullptr, 10));
    r.statusCode = static_cast<std::int32_t>(std::strtol(f[7].c_str(), nullptr, 10));
    r.statusText = f[8];
    r.result = f[9];
    r.seconds = std::strtod(f[10].c_str(), nullptr);
    return r;
}

bool OutcomeWriter::ServerRecentlyAway() const
{
    return lastAway && std::chrono::steady_clock::now() - *lastAway < kRetryAfter;
}

PoolResult OutcomeWriter::Send(const JournalEntry& entry)
{
    if (entry.kind == "address" && pool && entry.fields.size() == 5) {
        const auto state = StateNamed(entry.fields[1]);
        if (state)
            return pool->Record(entry.fields[0], *state, entry.fields[2], entry.fields[3],
                                entry.fields[4]);
    }
    if (const auto record = RecordOfEntry(entry); record && sink)
        return sink->Write(*record);
    return PoolResult::Fail(PoolFailure::NotAPool, "journal entry of an unknown kind: " + entry.kind);
}

void OutcomeWriter::Keep(JournalEntry entry, const PoolResult& failure,
                         std::vector<std::string>& notes)
{
    lastAway = std::chrono::steady_clock::now();
    std::string error;
    if (!journal.Add(entry, error)) {
        notes.push_back("Warning: " + failure.message + ", and the " + error +
                        ": this outcome is lost.");
        return;
    }
    notes.push_back("The server is away: the outcome waits in " + journal.Path() +
                    " and is sent when the server is back.");
}

std::vector<std::string> OutcomeWriter::Write(const BoardOutcome& outcome)
{
    std::vector<std::string> notes;
    // Outcomes that wait go first; while they cannot, this one waits too.
    const bool clear = !ServerRecentlyAway() && Replay(notes);
    std::vector<JournalEntry> entries;
    if (pool)
        entries.push_back(AddressEntry(pool->Name(), outcome));
    if (sink && outcome.record)
        entries.push_back(BoardEntry(sink->Name(), *outcome.record));
    for (JournalEntry& entry : entries) {
        const PoolResult sent = clear ? Send(entry)
                                      : PoolResult::Fail(PoolFailure::Unreachable, "server away");
        if (sent.failure == PoolFailure::Unreachable)
            Keep(std::move(entry), sent, notes);
        else if (!sent.Ok() && entry.kind == "address")
            notes.push_back("Warning: " + sent.message + "; the address stays used.");
        else if (!sent.Ok())
            notes.push_back("Warning: " + sent.message);
    }
    return notes;
}

bool OutcomeWriter::Replay(std::vector<std::string>& notes)
{
    bool away = false;
    std::size_t sentCount = 0;
    std::string error;
    const bool drained = journal.Drain(
        [&](const JournalEntry& entry) {
            const bool ours = (pool && entry.kind == "address" && entry.target == pool->Name()) ||
                              (sink && entry.kind == "board" && entry.target == sink->Name());
            if (!ours || away)
                return false;
            const PoolResult sent = Send(entry);
            away = sent.failure == PoolFailure::Unreachable;
            if (!sent.Ok() && !away)
                notes.push_back("Warning: a journal entry was refused: " + sent.message);
            sentCount += away ? 0 : 1;
            return !away;
        },
        error);
    if (!drained)
        notes.push_back("Warning: " + error);
    if (sentCount > 0)
        notes.push_back("Sent " + std::to_string(sentCount) + " waiting outcome" +
                        (sentCount == 1 ? "" : "s") + " from " + journal.Path() + " to the server.");
    if (away)
        lastAway = std::chrono::steady_clock::now();
    return drained && !away;
}

std::size_t OutcomeWriter::Waiting()
{
    std::size_t count = 0;
    std::string error;
    journal.Drain(
        [&](const JournalEntry& entry) {
            count += (pool && entry.target == pool->Name()) || (sink && entry.target == sink->Name());
            return false;
        },
        error);
    return count;
}
