#pragma once
// The local journal of board outcomes that a database could not take when
// they happened (the server had gone away): one line each, written and on
// the disk before the station goes on, and sent to the server when it is
// back, or at the next start.
//
// A line is tab-separated fields, the first its kind ("address" or "board"),
// the second the database it is meant for (without a password), and a last
// field \e that only a whole line has; a tab, a line break or a backslash in
// a field is written as \t, \n or \\.

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct JournalEntry {
    std::string kind;
    std::string target;
    std::vector<std::string> fields;
};

std::string JournalLine(const JournalEntry& entry);
// Nothing for a line that is not whole (a station died writing it).
std::optional<JournalEntry> ParseJournalLine(const std::string& line);

class OutcomeJournal {
public:
    explicit OutcomeJournal(std::string path) : path(std::move(path)) {}
    const std::string& Path() const { return path; }

    // False, with `error`, when it cannot be kept.
    bool Add(const JournalEntry& entry, std::string& error);

    // Offers every entry to `send`, which says whether it is done with; the
    // rest stay. The journal is held throughout, so that an entry another
    // station adds meanwhile is not lost. False, with `error`, when the
    // journal cannot be read or rewritten.
    bool Drain(const std::function<bool(const JournalEntry&)>& send, std::string& error);

    bool Empty() const;

private:
    std::string path;
};
