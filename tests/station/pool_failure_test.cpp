// Every kind of pool failure, from a pool file and from the line's database:
// each names its real cause, so that a locked or unwritable pool is never
// taken for a used-up range.

#include "station/database/pg_address_pool.h"
#include "station/file_address_pool.h"
#include "support/pg_server.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

using ::testing::HasSubstr;

const std::string kSha(64, 'a');
const std::vector<std::string> kTwoPorts{"ttyUSB0", "ttyUSB1"};

// Writes beyond the file's size fail (EFBIG) while it lives: a full disk,
// without filling one. Root writes through any file mode, this holds it too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved); }

private:
    rlimit saved{};
};

struct Case {
    const char* name;
    PoolFailure expected;
    const char* words;  // in the message
    // Makes the pool and tries to allocate two addresses from it.
    std::function<PoolResult(TempDir&, PgTestDatabase&)> run;
};

PoolResult AllocateTwo(IAddressPool& pool) { return pool.Allocate(kTwoPorts, "2026-12-09T06:00:00Z", kSha); }

PoolResult FromFile(TempDir& dir, const std::string& text)
{
    FileAddressPool pool(dir.Write("pool.csv", text));
    return AllocateTwo(pool);
}

PoolResult FromDatabase(PgTestDatabase& db, const std::string& uri, const char* first, const char* last)
{
    PgAddressPool pool(db.Uri(), "host1");
    if (first) {
        EXPECT_TRUE(pool.Init(*ParseMacValue(first), *ParseMacValue(last)).Ok());
    }
    PgAddressPool user(uri, "host1");
    return AllocateTwo(user);
}

const Case kCases[] = {
    {"FileExhausted", PoolFailure::Exhausted, "is used up: 2 boards need addresses, 1 of the range",
     [](TempDir& dir, PgTestDatabase&) {
         return FromFile(dir, "range,0050C20000000000,0050C20000000000\n");
     }},
    {"FileMissing", PoolFailure::Unreadable, "cannot be opened (No such file or directory)",
     [](TempDir& dir, PgTestDatabase&) {
         FileAddressPool pool(dir / "none.csv");
         return AllocateTwo(pool);
     }},
    {"FileNotAPool", PoolFailure::NotAPool, "line 1: a pool begins with its range",
     [](TempDir& dir, PgTestDatabase&) { return FromFile(dir, "0050C20000000000\n"); }},
    {"FileUnwritable", PoolFailure::Unwritable, "cannot be written (write: File too large)",
     [](TempDir& dir, PgTestDatabase&) {
         const std::string text = "range,0050C20000000000,0050C200000000FF\n";
         FileAddressPool pool(dir.Write("pool.csv", text));
         FileSizeLimit limit(text.size());
         return AllocateTwo(pool);
     }},
    {"DatabaseExhausted", PoolFailure::Exhausted, "is used up: 2 boards need addresses, 1 of the range",
     [](TempDir&, PgTestDatabase& db) {
         return FromDatabase(db, db.Uri(), "0050C200000000FF", "0050C200000000FF");
     }},
    {"DatabaseWithoutRange", PoolFailure::NotAPool, "holds no range yet: make one with quillmark-flash pool init",
     [](TempDir&, PgTestDatabase& db) { return FromDatabase(db, db.Uri(), nullptr, nullptr); }},
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
