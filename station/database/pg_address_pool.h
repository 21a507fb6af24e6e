#pragma once
// The MAC pool of a line of many machines, in PostgreSQL: one range whose
// counter every station's allocation moves on in its own transaction, under
// the counter row's lock, and one row per address handed out.

#include "station/address_pool.h"
#include "station/database/pg_connection.h"

class PgAddressPool final : public IAddressPool {
public:
    // `host`: this station's name in every row it writes.
    PgAddressPool(const std::string& conninfo, std::string host);

    std::string Name() const override { return connection.Name(); }
    PoolResult Check(std::size_t needed) override;
    PoolResult Allocate(const std::vector<std::string>& ports, std::string_view utcTime,
                        std::string_view imageSha256) override;
    PoolResult Record(const std::string& mac, PoolState state, std::string_view port,
                      std::string_view utcTime, std::string_view imageSha256) override;
    PoolResult Summarize(PoolSummary& summary) override;
    PoolResult Init(std::uint64_t first, std::uint64_t last) override;

private:
    struct Range {
        std::uint64_t first = 0, last = 0, next = 0;
        std::uint64_t Left() const { return next > last ? 0 : last - next + 1; }
    };
    PoolResult ReadRange(Range& range);
    PoolResult Take(std::size_t count, std::uint64_t& start);
    PoolResult Insert(const std::vector<std::string>& ports, std::uint64_t start,
                      std::string_view utcTime, std::string_view imageSha256);
    PoolResult Failed(const PgRows& rows, const std::string& doing) const;
    PoolResult UsedUp(const Range& range, std::size_t needed) const;

    PgConnection connection;
    const std::string host;
};
