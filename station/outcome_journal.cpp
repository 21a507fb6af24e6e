#include "station/outcome_journal.h"

#include "platform/locked_file.h"

#include <filesystem>
#include <sstream>

namespace {

std::string Escaped(const std::string& field)
{
    std::string text;
    for (char c : field) {
        if (c == '\\')
            text += "\\\\";
        else if (c == '\t')
            text += "\\t";
        else if (c == '\n')
            text += "\\n";
        else
            text += c;
    }
    return text;
}

std::vector<std::string> SplitEscaped(const std::string& line)
{
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t') {
            fields.emplace_back();
        } else if (line[i] == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next;
        } else {
            fields.back() += line[i];
        }
    }
    return fields;
}

// Whole lines end with this: a backslash before an 'e' is no escape that a
// field can hold, so a line cut short never ends with it by chance.
constexpr std::string_view kEnd = "\t\\e";

}  // namespace

std::string JournalLine(const JournalEntry& entry)
{
    std::string line = Escaped(entry.kind) + "\t" + Escaped(entry.target);
    for (const std::string& field : entry.fields)
        line += "\t" + Escaped(field);
    return line + std::string(kEnd) + "\n";
}

std::optional<JournalEntry> ParseJournalLine(const std::string& line)
{
    if (!line.ends_with(kEnd))
        return std::nullopt;
    const auto fields = SplitEscaped(line.substr(0, line.size() - kEnd.size()));
    if (fields.size() < 2)
        return std::nullopt;
    JournalEntry entry{fields[0], fields[1], {}};
    entry.fields.assign(fields.begin() + 2, fields.end());
    return entry;
}

bool OutcomeJournal::Add(const JournalEntry& entry, std::string& error)
{
    // Its folder is made when first needed, not by every station that starts.
    std::error_code ignored;
    if (const auto folder = std::filesystem::path(path).parent_path(); !folder.empty())
        std::filesystem::create_directories(folder, ignored);
    std::string reason;
    auto file = OpenLockedFile(path, LockedFileMode::CreateIfMissing, reason);
    // A line cut short by a crash must not swallow the next one.
    const auto text = file ? file->ReadAll() : std::nullopt;
    const bool needsBreak = text && !text->empty() && text->back() != '\n';
    if (!text || !file->Append((needsBreak ? "\n" : "") + JournalLine(entry))) {
        error = "journal " + path + " cannot be written (" + (file ? file->Error() : reason) + ")";
        return false;
    }
    return true;
}

bool OutcomeJournal::Empty() const
{
    std::error_code error;
    return !std::filesystem::exists(path, error) || std::filesystem::file_size(path, error) == 0;
}

bool OutcomeJournal::Drain(const std::function<bool(const JournalEntry&)>& send,
                           std::string& error)
{
    if (Empty())
        return true;
    std::string reason;
    auto file = OpenLockedFile(path, LockedFileMode::Existing, reason);
    const auto text = file ? file->ReadAll() : std::nullopt;
    if (!text) {
        error = "journal " + path + " cannot be read (" + (file ? file->Error() : reason) + ")";
        return false;
    }
    std::string kept;
    std::istringstream lines(*text);
    for (std::string line; std::getline(lines, line);) {
        const auto entry = ParseJournalLine(line);
        if (entry && !send(*entry))
            kept += line + "\n";
    }
    if (kept == *text)
        return true;
    std::error_code cut;
    std::filesystem::resize_file(path, 0, cut);
    if (cut || !file->Append(kept)) {
        error = "journal " + path + " cannot be rewritten (" + (cut ? cut.message() : file->Error()) + ")";
        return false;
    }
    return true;
}
