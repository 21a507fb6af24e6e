#include "station/mac_pool.h"

#include "platform/locked_file.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view kRangeExample = "range,0050C20000000000,0050C200000000FF";

std::vector<std::string_view> SplitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const auto comma = line.find(',');
        fields.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos)
            return fields;
        line.remove_prefix(comma + 1);
    }
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::optional<PoolState> ParseState(std::string_view text)
{
    for (PoolState state : {PoolState::Allocated, PoolState::Programmed, PoolState::Failed}) {
        if (text == PoolStateName(state))
            return state;
    }
    return std::nullopt;
}

bool IsDigest(std::string_view text)
{
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c)) != 0;
           });
}

std::string LineLabel(std::size_t number) { return "line " + std::to_string(number) + ": "; }

// The address after `address`, without running over the top of the space.
std::uint64_t After(std::uint64_t address)
{
    return address == UINT64_MAX ? address : address + 1;
}

}  // namespace

std::string_view PoolStateName(PoolState state)
{
    switch (state) {
    case PoolState::Allocated: return "allocated";
    case PoolState::Programmed: return "programmed";
    case PoolState::Failed: return "failed";
    }
    return "";
}

std::optional<std::uint64_t> ParseMacValue(std::string_view text)
{
    if (text.size() != 16)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (!std::isxdigit(u))
            return std::nullopt;
        const int digit = std::isdigit(u) ? c - '0' : std::toupper(u) - 'A' + 10;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    return value;
}

std::string MacValueText(std::uint64_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

std::optional<PoolReading> ReadPoolText(std::string_view text, std::string& error)
{
    PoolReading reading;
    bool haveRange = false;
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const auto end = text.find('\n');
        const bool ended = end != std::string_view::npos;
        std::string_view line = text.substr(0, end);
        text.remove_prefix(ended ? end + 1 : text.size());
        if (!line.empty() && line.back() == '\r')  // saved by a spreadsheet
            line.remove_suffix(1);
        const auto fields = SplitFields(line);
        // A line without its break is whole when it says all a line can say
        // (an editor may leave the break off); otherwise it was cut short.
        const bool whole = ended || (!haveRange ? fields.size() == 3
                                                : fields.size() == 5 && IsDigest(Trim(fields[4])));
        const bool repaired = line.ends_with(kTornLineEnd.substr(0, kTornLineEnd.size() - 1));
        if (!whole || repaired) {
            // Whatever it was going to say, it may have handed out the next
            // address: count that one as used, and any address it names.
            reading.next = After(reading.next);
            if (const auto named = ParseMacValue(Trim(fields[0])); named && fields.size() > 1)
                reading.next = std::max(reading.next, After(*named));
            reading.warnings.push_back(
                LineLabel(number) + "an unfinished line (a station stopped while writing it); " +
                "counted as one more address used");
            if (!ended)
                reading.lineEnd = kTornLineEnd;
            continue;
        }
        if (!ended)
            reading.lineEnd = "\n";
        if (Trim(line).empty())
            continue;
        if (!haveRange) {
            const auto first = fields.size() == 3 && Trim(fields[0]) == "range"
                                   ? ParseMacValue(Trim(fields[1]))
                                   : std::nullopt;
            const auto last = first ? ParseMacValue(Trim(fields[2])) : std::nullopt;
            if (!first || !last || *last < *first) {
                error = LineLabel(number) + "a pool begins with its range, the first and the last " +
                        "address of 16 hexadecimal digits each, the first not above the last, as in " +
                        std::string(kRangeExample);
                return std::nullopt;
            }
            reading.first = *first;
            reading.last = *last;
            reading.next = std::max(reading.next, *first);
            haveRange = true;
            continue;
        }
        const auto address = fields.size() == 5 ? ParseMacValue(Trim(fields[0])) : std::nullopt;
        if (!address || !ParseState(Trim(fields[1]))) {
            error = LineLabel(number) + "not a use of an address: expected ADDRESS,STATE,PORT,TIME,"
                    "SHA256 with 16 hexadecimal digits and allocated, programmed or failed, "
                    "found '" + std::string(line) + "'";
            return std::nullopt;
        }
        reading.next = std::max(reading.next, After(*address));
    }
    if (!haveRange) {
        error = "no range: a pool begins with a line such as " + std::string(kRangeExample);
        return std::nullopt;
    }
    return reading;
}

std::string PoolLine(std::uint64_t address, PoolState state, std::string_view port,
                     std::string_view utcTime, std::string_view imageSha256)
{
    std::string safePort(port);
    std::replace_if(safePort.begin(), safePort.end(),
                    [](char c) { return c == ',' || c == '\n' || c == '\r'; }, '_');
    std::string line = MacValueText(address);
    line += ',';
    line += PoolStateName(state);
    line += ',' + safePort + ',';
    line += utcTime;
    line += ',';
    line += imageSha256;
    line += '\n';
    return line;
}

MacPool::MacPool(std::string path) : path(std::move(path)) {}

namespace {

// The locked file and what it says, or a sentence on why not.
struct OpenPool {
    std::unique_ptr<ILockedFile> file;
    std::optional<PoolReading> reading;
    PoolFailure failure = PoolFailure::None;
};

// The file opened but could not be held: its reason begins with the call
// that failed.
PoolFailure OpenFailure(const std::string& reason)
{
    return reason.starts_with("lock:") ? PoolFailure::Locked : PoolFailure::Unreadable;
}

OpenPool OpenAndRead(const std::string& path, std::string& error)
{
    OpenPool pool;
    std::string reason;
    pool.file = OpenLockedFile(path, LockedFileMode::Existing, reason);
    if (!pool.file) {
        pool.failure = OpenFailure(reason);
        error = "MAC pool " + path + " cannot be opened (" + reason +
                "); a new pool is a text file whose first line is " + std::string(kRangeExample);
        return pool;
    }
    const auto text = pool.file->ReadAll();
    if (!text) {
        pool.failure = PoolFailure::Unreadable;
        error = "MAC pool " + path + " cannot be read (" + pool.file->Error() + ")";
        return pool;
    }
    pool.reading = ReadPoolText(*text, reason);
    if (!pool.reading) {
        pool.failure = PoolFailure::NotAPool;
        error = "MAC pool " + path + ", " + reason;
    }
    return pool;
}

}  // namespace

std::optional<PoolReading> MacPool::Check(std::string& error, PoolFailure* failure) const
{
    OpenPool pool = OpenAndRead(path, error);
    if (failure)
        *failure = pool.failure;
    return pool.reading;
}

PoolAllocation MacPool::Allocate(const std::vector<std::string>& ports, std::string_view utcTime,
                                 std::string_view imageSha256)
{
    PoolAllocation allocation;
    OpenPool pool = OpenAndRead(path, allocation.error);
    allocation.failure = pool.failure;
    if (!pool.reading)
        return allocation;
    const PoolReading& reading = *pool.reading;
    allocation.warnings = reading.warnings;
    if (reading.Remaining() < ports.size()) {
        allocation.failure = PoolFailure::Exhausted;
        allocation.error = "MAC pool " + path + " is used up: " + std::to_string(ports.size()) +
                           (ports.size() == 1 ? " board needs an address, " : " boards need addresses, ") +
                           std::to_string(reading.Remaining()) + " of the range " +
                           MacValueText(reading.first) + " to " + MacValueText(reading.last) +
                           " left. Give the station a pool with a fresh range.";
        return allocation;
    }
    std::string text(reading.lineEnd);
    std::vector<std::string> macs;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const std::uint64_t address = reading.next + i;
        text += PoolLine(address, PoolState::Allocated, ports[i], utcTime, imageSha256);
        macs.push_back(MacValueText(address));
    }
    if (!pool.file->Append(text)) {
        allocation.failure = PoolFailure::Unwritable;
        allocation.error = "MAC pool " + path + " cannot be written (" + pool.file->Error() + ")";
        return allocation;
    }
    allocation.macs = std::move(macs);
    return allocation;
}

bool MacPool::Record(const std::string& mac, PoolState state, std::string_view port,
                     std::string_view utcTime, std::string_view imageSha256, std::string& error,
                     PoolFailure* failure)
{
    PoolFailure ignored = PoolFailure::None;
    PoolFailure& kind = failure ? *failure : ignored;
    const auto address = ParseMacValue(mac);
    if (!address) {
        kind = PoolFailure::NotAPool;
        error = "'" + mac + "' is no address of a pool";
        return false;
    }
    std::string reason;
    auto file = OpenLockedFile(path, LockedFileMode::Existing, reason);
    const auto text = file ? file->ReadAll() : std::nullopt;
    if (!text) {
        kind = file ? PoolFailure::Unreadable : OpenFailure(reason);
        error = "MAC pool " + path + " cannot be read (" + (file ? file->Error() : reason) + ")";
        return false;
    }
    // Another station may have died in the middle of a line since.
    std::string recordError;
    const auto reading = ReadPoolText(*text, recordError);
    std::string line(reading                                        ? reading->lineEnd
                     : text->empty() || text->back() == '\n' ? std::string_view()
                                                             : kTornLineEnd);
    line += PoolLine(*address, state, port, utcTime, imageSha256);
    if (!file->Append(line)) {
        kind = PoolFailure::Unwritable;
        error = "MAC pool " + path + " cannot be written (" + file->Error() + ")";
        return false;
    }
    return true;
}
