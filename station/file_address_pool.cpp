#include "station/file_address_pool.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

constexpr std::size_t kLastShown = 5;

std::string UsedUpMessage(const std::string& path, const PoolReading& reading)
{
    return "MAC pool " + path + " is used up: no address of the range " +
           MacValueText(reading.first) + " to " + MacValueText(reading.last) +
           " is left. Give the station a pool with a fresh range.";
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, ',');)
        fields.push_back(field);
    return fields;
}

}  // namespace

PoolResult FileAddressPool::Check(std::size_t needed)
{
    std::string error;
    PoolFailure failure = PoolFailure::None;
    const auto reading = pool.Check(error, &failure);
    if (!reading)
        return PoolResult::Fail(failure, error);
    if (reading->Remaining() < needed)
        return PoolResult::Fail(PoolFailure::Exhausted, UsedUpMessage(pool.Path(), *reading));
    PoolResult result;
    result.warnings = reading->warnings;
    return result;
}

PoolResult FileAddressPool::Allocate(const std::vector<std::string>& ports, std::string_view utcTime,
                                     std::string_view imageSha256)
{
    PoolAllocation allocation = pool.Allocate(ports, utcTime, imageSha256);
    PoolResult result = allocation.error.empty()
                            ? PoolResult{}
                            : PoolResult::Fail(allocation.failure, allocation.error);
    result.macs = std::move(allocation.macs);
    result.warnings = std::move(allocation.warnings);
    return result;
}

PoolResult FileAddressPool::Record(const std::string& mac, PoolState state, std::string_view port,
                                   std::string_view utcTime, std::string_view imageSha256)
{
    std::string error;
    PoolFailure failure = PoolFailure::None;
    if (!pool.Record(mac, state, port, utcTime, imageSha256, error, &failure))
        return PoolResult::Fail(failure, error);
    return {};
}

PoolResult FileAddressPool::Summarize(PoolSummary& summary)
{
    std::string error;
    PoolFailure failure = PoolFailure::None;
    const auto reading = pool.Check(error, &failure);
    if (!reading)
        return PoolResult::Fail(failure, error);
    std::stringstream text;
    text << std::ifstream(pool.Path()).rdbuf();
    summary.first = reading->first;
    summary.last = reading->last;
    summary.left = reading->Remaining();
    summary.used = reading->last - reading->first + 1 - summary.left;
    SummarizePoolLines(text.str(), kLastShown, summary);
    PoolResult result;
    result.warnings = reading->warnings;
    return result;
}

PoolResult FileAddressPool::Init(std::uint64_t first, std::uint64_t last)
{
    const std::string& path = pool.Path();
    // Never over an existing pool: its range may be half used.
    std::error_code error;
    if (std::filesystem::exists(path, error))
        return PoolResult::Fail(PoolFailure::Unwritable,
                                "MAC pool " + path + " exists already; a pool is made once, and a "
                                "new range needs a new pool");
    std::ofstream out(path, std::ios::out | std::ios::trunc);
    out << "range," << MacValueText(first) << "," << MacValueText(last) << "\n";
    out.close();
    if (!out)
        return PoolResult::Fail(PoolFailure::Unwritable, "MAC pool " + path + " cannot be written");
    return {};
}

void SummarizePoolLines(std::string_view text, std::size_t count, PoolSummary& summary)
{
    std::set<std::string> failed;
    std::map<std::string, std::string> latest;  // address to "STATE PORT"
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        const auto fields = Fields(line);
        if (fields.size() < 5 || !ParseMacValue(fields[0]))
            continue;
        if (fields[1] == PoolStateName(PoolState::Failed))
            failed.insert(fields[0]);
        latest[fields[0]] = fields[1] + " " + fields[2];
    }
    summary.failed = failed.size();
    for (auto it = latest.rbegin(); it != latest.rend() && summary.lastHandedOut.size() < count; ++it)
        summary.lastHandedOut.push_back(it->first + " " + it->second);
}
