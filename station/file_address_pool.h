#pragma once
// The pool file of one machine (station/mac_pool.h) as an IAddressPool.

#include "station/address_pool.h"

class FileAddressPool final : public IAddressPool {
public:
    explicit FileAddressPool(std::string path) : pool(std::move(path)) {}

    std::string Name() const override { return pool.Path(); }
    PoolResult Check(std::size_t needed) override;
    PoolResult Allocate(const std::vector<std::string>& ports, std::string_view utcTime,
                        std::string_view imageSha256) override;
    PoolResult Record(const std::string& mac, PoolState state, std::string_view port,
                      std::string_view utcTime, std::string_view imageSha256) override;
    PoolResult Summarize(PoolSummary& summary) override;
    PoolResult Init(std::uint64_t first, std::uint64_t last) override;

private:
    MacPool pool;
};

// What the lines of a pool file say of its addresses: how many failed, and
// the newest handed out ("ADDRESS STATE PORT", the newest first, at most
// `count`).
void SummarizePoolLines(std::string_view text, std::size_t count, PoolSummary& summary);
