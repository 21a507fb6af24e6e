#pragma once
// Where each board's MAC address comes from: the pool, committed before the
// board is touched, or, without a pool, the one given (or the default).

#include "station/address_pool.h"
#include "station/station_observer.h"

#include <optional>
#include <string>
#include <vector>

class AddressSource {
public:
    // `pool` may be null.
    AddressSource(IAddressPool* pool, std::optional<std::string> mac, std::string imageSha256,
                  IStationObserver& observer);

    // One address per port into `macs`, or the kind of failure (its reason
    // told).
    PoolFailure Allocate(const std::vector<std::string>& ports, std::vector<std::string>& macs);

    // The addresses used and what is left in the pool.
    void Summarize(StationSummary& summary) const;

private:
    void Failed(const PoolResult& allocation);

    IAddressPool* const pool;
    const std::optional<std::string> mac;
    const std::string imageSha256;
    IStationObserver& observer;
    std::string lastFailure;  // the reason last told, while it lasts
    std::size_t used = 0;
};
