// The database pool under concurrency: many stations' connections allocating
// at once from one range never get one address twice, and a range too small
// for all of them hands out each address once and then says it is used up.

#include "station/database/pg_address_pool.h"
#include "support/pg_server.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <thread>

namespace {

const std::string kSha(64, 'b');

struct Tally {
    std::mutex mutex;
    std::vector<std::string> macs;
    std::map<PoolFailure, int> failures;
};

// `stations` connections, each allocating `rounds` times `batch` addresses.
void AllocateAtOnce(const std::string& uri, int stations, int rounds, std::size_t batch, Tally& tally)
{
    std::vector<std::thread> threads;
    for (int s = 0; s < stations; ++s) {
        threads.emplace_back([&, s] {
            PgAddressPool pool(uri, "host" + std::to_string(s));
            const std::vector<std::string> ports(batch, "ttyUSB" + std::to_string(s));
            for (int r = 0; r < rounds; ++r) {
                PoolResult result = pool.Allocate(ports, "2026-12-09T06:00:00Z", kSha);
                std::lock_guard lock(tally.mutex);
                tally.macs.insert(tally.macs.end(), result.macs.begin(), result.macs.end());
                if (!result.Ok())
                    ++tally.failures[result.failure];
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
}

struct Load {
    int stations;
    int rounds;
    std::size_t batch;
    std::uint64_t rangeSize;
};

void PrintTo(const Load& l, std::ostream* out)
{
    *out << l.stations << " stations, " << l.batch << " per allocation, " << l.rangeSize << " in the range";
}

class PgPoolConcurrency : public ::testing::TestWithParam<Load> {};

TEST_P(PgPoolConcurrency, EveryAddressIsHandedOutOnceAndNoneIsSkipped)
{
    const Load load = GetParam();
    PgTestDatabase db;
    PgAddressPool pool(db.Uri(), "setup");
    ASSERT_TRUE(pool.Init(0x0050C20000000000, 0x0050C20000000000 + load.rangeSize - 1).Ok());
    Tally tally;
    AllocateAtOnce(db.Uri(), load.stations, load.rounds, load.batch, tally);

    const std::uint64_t wanted = static_cast<std::uint64_t>(load.stations * load.rounds) * load.batch;
    const std::uint64_t handedOut = std::min(wanted, load.rangeSize - load.rangeSize % load.batch);
    const std::set<std::string> distinct(tally.macs.begin(), tally.macs.end());
    EXPECT_EQ(distinct.size(), tally.macs.size()) << "an address was handed out twice";
    EXPECT_EQ(tally.macs.size(), handedOut);
    // In order from the first: nothing skipped, nothing beyond the range.
    EXPECT_EQ(*distinct.begin(), "0050C20000000000");
    EXPECT_EQ(*distinct.rbegin(), MacValueText(0x0050C20000000000 + handedOut - 1));
    EXPECT_EQ(db.Value("SELECT count(*) FROM mac_addresses"), std::to_string(handedOut));
    int exhausted = 0, others = 0;
    for (const auto& [failure, count] : tally.failures)
        (failure == PoolFailure::Exhausted ? exhausted : others) += count;
    EXPECT_EQ(exhausted, static_cast<int>((wanted - handedOut) / load.batch));
    EXPECT_EQ(others, 0);
}

INSTANTIATE_TEST_SUITE_P(Loads, PgPoolConcurrency,
                         ::testing::Values(Load{3, 40, 1, 1000},   // plenty left
                                           Load{4, 25, 3, 1000},   // several boards per allocation
                                           Load{4, 30, 1, 50},     // the range runs out under load
                                           Load{3, 20, 4, 30}),    // ...with a batch that no longer fits
                         [](const auto& info) {
                             const Load& l = info.param;
                             return std::to_string(l.stations) + "Stations" + std::to_string(l.batch) + "PerAllocation" +
                                    std::to_string(l.rangeSize) + "InRange";
                         });

TEST(PgPool, RecordsOutcomesAndSummarizesThem)
{
    PgTestDatabase db;
    PgAddressPool pool(db.Uri(), "line-a");
    ASSERT_TRUE(pool.Init(0x10, 0x1F).Ok());
    EXPECT_THAT(pool.Init(0x20, 0x2F).message, ::testing::HasSubstr("holds a range already"));
    const PoolResult taken = pool.Allocate({"p0", "p1", "p2"}, "2026-12-09T06:00:00Z", kSha);
    ASSERT_EQ(taken.macs, (std::vector<std::string>{"0000000000000010", "0000000000000011", "0000000000000012"}));
    ASSERT_TRUE(pool.Record("0000000000000011", PoolState::Failed, "p1", "2026-12-09T06:01:00Z", kSha).Ok());
    ASSERT_TRUE(pool.Record("0000000000000010", PoolState::Programmed, "p0", "2026-12-09T06:01:00Z", kSha).Ok());
    EXPECT_EQ(pool.Record("0000000000000099", PoolState::Failed, "p9", "2026-12-09T06:01:00Z", kSha).failure, PoolFailure::NotAPool);

    PoolSummary summary;
    ASSERT_TRUE(pool.Summarize(summary).Ok());
    EXPECT_EQ(summary.first, 0x10u);
    EXPECT_EQ(summary.last, 0x1Fu);
    EXPECT_EQ(summary.used, 3u);
    EXPECT_EQ(summary.failed, 1u);
    EXPECT_EQ(summary.left, 13u);
    EXPECT_EQ(summary.lastHandedOut,
              (std::vector<std::string>{"0000000000000012 allocated line-a:p2", "0000000000000011 failed line-a:p1",
                                        "0000000000000010 programmed line-a:p0"}));
    EXPECT_EQ(db.Value("SELECT max(version) FROM schema_version"), "1");
}

}  // namespace
