// Every kind of pool failure of the line's database: each names its real
// cause, so that a locked or unwritable pool is never taken for a used-up
// range. (The pool file's kinds are held to the same by the station's own
// test, tests/cli/events_test.cpp.)

#include "station/database/pg_address_pool.h"
#include "support/pg_server.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

using ::testing::HasSubstr;

const std::string kSha(64, 'a');
const std::vector<std::string> kTwoPorts{"ttyUSB0", "ttyUSB1"};

struct Case {
    const char* name;
    PoolFailure expected;
    const char* words;  // in the message
    // Makes the pool and tries to allocate two addresses from it.
    std::function<PoolResult(TempDir&, PgTestDatabase&)> run;
};

PoolResult AllocateTwo(IAddressPool& pool) { return pool.Allocate(kTwoPorts, "2026-12-09T06:00:00Z", kSha); }

// A range of `size` addresses (none: no range at all), then two wanted.
PoolResult FromDatabase(PgTestDatabase& db, std::uint64_t size)
{
    PgAddressPool pool(db.Uri(), "host1");
    if (size > 0) {
        EXPECT_TRUE(pool.Init(0x0050C200000000FF, 0x0050C200000000FF + size - 1).Ok());
    }
    return AllocateTwo(pool);
}

const Case kCases[] = {
    {"DatabaseExhausted", PoolFailure::Exhausted, "is used up: 2 boards need addresses, 1 of the range",
     [](TempDir&, PgTestDatabase& db) {
         return FromDatabase(db, 1);
     }},
    {"DatabaseWithoutRange", PoolFailure::NotAPool, "holds no range yet: make one with quillmark-flash pool init",
     [](TempDir&, PgTestDatabase& db) { return FromDatabase(db, 0); }},
    {"DatabaseUnreachable", PoolFailure::Unreachable, "cannot be reached (",
     [](TempDir& dir, PgTestDatabase&) {
         PgAddressPool pool("postgresql:///none?host=" + dir.Path().string(), "host1");
         return AllocateTwo(pool);
     }},
    {"DatabaseLocked", PoolFailure::Locked, "taking addresses failed (",
     [](TempDir&, PgTestDatabase& db) {
         PgAddressPool owner(db.Uri(), "host1");
         EXPECT_TRUE(owner.Init(0x10, 0xFF).Ok());
         // Another station holds the counter's row for longer than this one waits.
         PgConnection other(db.Uri());
         EXPECT_TRUE(other.Open().Ok());
         other.Exec("BEGIN");
         EXPECT_TRUE(other.Exec("SELECT * FROM mac_range FOR UPDATE").Ok());
         PgAddressPool pool(db.Uri() + "&options=-c%20lock_timeout%3D300", "host1");
         return AllocateTwo(pool);
     }},
    {"DatabaseUnwritable", PoolFailure::Unwritable, "permission denied",
     [](TempDir&, PgTestDatabase& db) {
         db.Query("CREATE ROLE reader" + std::to_string(::getpid()) + " LOGIN");
         PgAddressPool owner(db.Uri(), "host1");
         EXPECT_TRUE(owner.Init(0x10, 0xFF).Ok());
         db.Query("GRANT SELECT ON ALL TABLES IN SCHEMA public TO reader" + std::to_string(::getpid()));
         std::string uri = db.Uri();
         uri = uri.substr(0, uri.find("&user=")) + "&user=reader" + std::to_string(::getpid());
         PgAddressPool pool(uri, "host1");
         const PoolResult result = AllocateTwo(pool);
         db.Query("DROP OWNED BY reader" + std::to_string(::getpid()));
         db.Query("DROP ROLE reader" + std::to_string(::getpid()));
         return result;
     }},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class PoolFailureKind : public ::testing::TestWithParam<Case> {};

TEST_P(PoolFailureKind, NamesItsCauseAndHandsOutNothing)
{
    TempDir dir;
    PgTestDatabase db;
    const PoolResult result = GetParam().run(dir, db);
    EXPECT_EQ(result.failure, GetParam().expected)
        << PoolFailureName(result.failure) << ": " << result.message;
    EXPECT_THAT(result.message, HasSubstr(GetParam().words));
    EXPECT_TRUE(result.macs.empty());
}

INSTANTIATE_TEST_SUITE_P(Pools, PoolFailureKind, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
