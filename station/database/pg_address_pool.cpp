#include "station/database/pg_address_pool.h"

#include <charconv>

namespace {

constexpr std::size_t kLastShown = 5;

std::uint64_t NumberOf(const std::string& text)
{
    std::uint64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string Plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + (count == 1 ? one : many);
}

}  // namespace

PgAddressPool::PgAddressPool(const std::string& conninfo, std::string host)
    : connection(conninfo), host(std::move(host))
{
}

PoolResult PgAddressPool::Failed(const PgRows& rows, const std::string& doing) const
{
    if (rows.failure == PoolFailure::Unreachable)
        return PoolResult::Fail(rows.failure, "MAC pool " + Name() + " cannot be reached (" +
                                                  rows.error + ")");
    return PoolResult::Fail(rows.failure, "MAC pool " + Name() + ": " + doing + " failed (" +
                                              rows.error + ")");
}

PoolResult PgAddressPool::UsedUp(const Range& range, std::size_t needed) const
{
    return PoolResult::Fail(
        PoolFailure::Exhausted,
        "MAC pool " + Name() + " is used up: " +
            Plural(needed, " board needs an address, ", " boards need addresses, ") +
            std::to_string(range.Left()) + " of the range " + MacValueText(range.first) + " to " +
            MacValueText(range.last) + " left. Give the line a fresh range.");
}

PoolResult PgAddressPool::ReadRange(Range& range)
{
    PgRows rows = connection.Open();
    if (rows.Ok())
        rows = connection.Exec("SELECT first_address, last_address, next_address FROM mac_range");
    if (!rows.Ok())
        return Failed(rows, "reading the range");
    if (rows.rows.empty())
        return PoolResult::Fail(PoolFailure::NotAPool,
                                "MAC pool " + Name() + " holds no range yet: make one with "
                                "quillmark-flash pool init POOL --first HEX16 --last HEX16");
    range = {NumberOf(rows.rows[0][0]), NumberOf(rows.rows[0][1]), NumberOf(rows.rows[0][2])};
    return {};
}

PoolResult PgAddressPool::Check(std::size_t needed)
{
    Range range;
    PoolResult result = ReadRange(range);
    if (result.Ok() && range.Left() < needed)
        return UsedUp(range, needed);
    return result;
}

// Moves the counter on under its row's lock: a second station's update waits
// for this transaction and then sees the counter this one left.
PoolResult PgAddressPool::Take(std::size_t count, std::uint64_t& start)
{
    const PgRows rows = connection.Exec(
        "UPDATE mac_range SET next_address = next_address + $1 "
        "WHERE last_address - next_address + 1 >= $1 RETURNING next_address - $1",
        {std::to_string(count)});
    if (!rows.Ok())
        return Failed(rows, "taking addresses");
    if (rows.rows.empty()) {
        Range range;
        const PoolResult read = ReadRange(range);
        return read.Ok() ? UsedUp(range, count) : read;
    }
    start = NumberOf(rows.rows[0][0]);
    return {};
}

PoolResult PgAddressPool::Insert(const std::vector<std::string>& ports, std::uint64_t start,
                                 std::string_view utcTime, std::string_view imageSha256)
{
    PoolResult result;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const std::string mac = MacValueText(start + i);
        const PgRows rows = connection.Exec(
            "INSERT INTO mac_addresses (mac, state, port, host, allocated_at, image_sha256) "
            "VALUES ($1, 'allocated', $2, $3, $4, $5)",
            {mac, ports[i], host, std::string(utcTime), std::string(imageSha256)});
        if (!rows.Ok())
            return Failed(rows, "recording address " + mac);
        result.macs.push_back(mac);
    }
    return result;
}

PoolResult PgAddressPool::Allocate(const std::vector<std::string>& ports, std::string_view utcTime,
                                   std::string_view imageSha256)
{
    PgRows begun = connection.Open();
    if (begun.Ok())
        begun = connection.Exec("BEGIN");
    if (!begun.Ok())
        return Failed(begun, "starting an allocation");
    std::uint64_t start = 0;
    PoolResult result = Take(ports.size(), start);
    if (result.Ok())
        result = Insert(ports, start, utcTime, imageSha256);
    if (!result.Ok()) {
        connection.Exec("ROLLBACK");
        return result;
    }
    // Only a committed address goes to a board.
    const PgRows committed = connection.Exec("COMMIT");
    return committed.Ok() ? result : Failed(committed, "committing the allocation");
}

PoolResult PgAddressPool::Record(const std::string& mac, PoolState state, std::string_view port,
                                 std::string_view utcTime, std::string_view)
{
    PgRows rows = connection.Open();
    if (rows.Ok())
        rows = connection.Exec("UPDATE mac_addresses SET state = $2, port = $3, ended_at = $4 "
                               "WHERE mac = $1",
                               {mac, std::string(PoolStateName(state)), std::string(port),
                                std::string(utcTime)});
    if (!rows.Ok())
        return Failed(rows, "recording " + mac);
    if (rows.affected == 0)
        return PoolResult::Fail(PoolFailure::NotAPool,
                                "MAC pool " + Name() + " never handed out " + mac);
    return {};
}

PoolResult PgAddressPool::Summarize(PoolSummary& summary)
{
    Range range;
    PoolResult result = ReadRange(range);
    if (!result.Ok())
        return result;
    const PgRows failed =
        connection.Exec("SELECT count(*) FROM mac_addresses WHERE state = 'failed'");
    const PgRows last = connection.Exec(
        "SELECT mac, state, port, host FROM mac_addresses ORDER BY mac DESC LIMIT $1",
        {std::to_string(kLastShown)});
    if (!failed.Ok() || !last.Ok())
        return Failed(failed.Ok() ? last : failed, "reading the addresses");
    summary.first = range.first;
    summary.last = range.last;
    summary.left = range.Left();
    summary.used = range.last - range.first + 1 - summary.left;
    summary.failed = NumberOf(failed.rows.at(0).at(0));
    for (const auto& row : last.rows)
        summary.lastHandedOut.push_back(row[0] + " " + row[1] + " " + row[3] + ":" + row[2]);
    return result;
}

PoolResult PgAddressPool::Init(std::uint64_t first, std::uint64_t last)
{
    PgRows rows = connection.Open();
    if (rows.Ok())
        rows = connection.Exec("INSERT INTO mac_range VALUES (1, $1, $2, $1) ON CONFLICT DO NOTHING",
                               {std::to_string(first), std::to_string(last)});
    if (!rows.Ok())
        return Failed(rows, "making the range");
    if (rows.affected == 0)
        return PoolResult::Fail(PoolFailure::Unwritable,
                                "MAC pool " + Name() + " holds a range already; a range is made "
                                "once, and a new range needs a new database");
    return {};
}
