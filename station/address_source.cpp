#include "station/address_source.h"

#include "flash/flash_layout.h"
#include "station/board_report.h"

#include <chrono>

AddressSource::AddressSource(IAddressPool* pool, std::optional<std::string> mac,
                             std::string imageSha256, IStationObserver& observer)
    : pool(pool), mac(std::move(mac)), imageSha256(std::move(imageSha256)), observer(observer)
{
}

PoolFailure AddressSource::Allocate(const std::vector<std::string>& ports,
                                    std::vector<std::string>& macs)
{
    if (!pool) {
        macs.assign(ports.size(), mac.value_or(kDefaultMacText));
        return PoolFailure::None;
    }
    PoolResult allocation =
        pool->Allocate(ports, UtcTimeText(std::chrono::system_clock::now()), imageSha256);
    for (const std::string& warning : allocation.warnings)
        observer.Note("Warning: MAC pool " + pool->Name() + ", " + warning);
    if (!allocation.Ok()) {
        Failed(allocation);
        return allocation.failure;
    }
    lastFailure.clear();
    macs = std::move(allocation.macs);
    used += macs.size();
    for (std::size_t i = 0; i < ports.size(); ++i)
        observer.AddressGiven(ports[i], macs[i]);
    return PoolFailure::None;
}

// A watching station tries again every few seconds: the same reason once.
void AddressSource::Failed(const PoolResult& allocation)
{
    observer.PoolFailed(allocation);
    if (allocation.message != lastFailure)
        observer.Note(allocation.message);
    lastFailure = allocation.message;
}

void AddressSource::Summarize(StationSummary& summary) const
{
    summary.pool = pool != nullptr;
    summary.addressesUsed = used;
    if (!pool)
        return;
    summary.poolName = pool->Name();
    PoolSummary figures;
    if (pool->Summarize(figures).Ok())
        summary.left = figures.left;
}
