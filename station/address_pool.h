#pragma once
// A MAC pool as the station sees it, whether a file on this machine or a
// database that several machines share: the station holds one of these and
// does not care which.

#include "station/mac_pool.h"
#include "station/pool_result.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class IAddressPool {
public:
    virtual ~IAddressPool() = default;

    // How the pool is named to the user (a path, or the database without
    // its password).
    virtual std::string Name() const = 0;

    // Before anything starts: fails when the pool cannot hand out `needed`
    // addresses (Exhausted), or cannot be used at all.
    virtual PoolResult Check(std::size_t needed) = 0;

    // One address per port, all or none, each kept for good before this
    // returns.
    virtual PoolResult Allocate(const std::vector<std::string>& ports, std::string_view utcTime,
                                std::string_view imageSha256) = 0;

    // What became of an address.
    virtual PoolResult Record(const std::string& mac, PoolState state, std::string_view port,
                              std::string_view utcTime, std::string_view imageSha256) = 0;

    // The range and its use; `summary` is left alone on failure.
    virtual PoolResult Summarize(PoolSummary& summary) = 0;

    // Makes a new pool of the range; refuses to replace one.
    virtual PoolResult Init(std::uint64_t first, std::uint64_t last) = 0;
};
