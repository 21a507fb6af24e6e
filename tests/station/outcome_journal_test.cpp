// The journal that keeps board outcomes while the database is away: its lines
// survive any text, and what waits in it reaches the server once it is back.

#include "station/database/pg_address_pool.h"
#include "station/database/pg_board_sink.h"
#include "station/outcome_writer.h"
#include "support/pg_server.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace {

using ::testing::HasSubstr;

class JournalLines : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(JournalLines, ReadBackAsWritten)
{
    const JournalEntry entry{"board", "postgresql://u@h/db", GetParam()};
    const std::string line = JournalLine(entry);
    ASSERT_EQ(line.find('\n'), line.size() - 1);
    const auto back = ParseJournalLine(line.substr(0, line.size() - 1));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->kind, entry.kind);
    EXPECT_EQ(back->target, entry.target);
    EXPECT_EQ(back->fields, entry.fields);
    // Cut anywhere, the line is no entry: a station died writing it.
    for (std::size_t cut = 0; cut + 1 < line.size(); ++cut)
        EXPECT_FALSE(ParseJournalLine(line.substr(0, cut))) << cut;
}

INSTANTIATE_TEST_SUITE_P(Fields, JournalLines,
                         ::testing::Values(std::vector<std::string>{"plain", "", "x"},
                                           std::vector<std::string>{"tab\there", "line\nbreak", "back\\slash\\"},
                                           std::vector<std::string>{"\\t", "\\e", "end", "\t"}),
                         [](const auto& info) { return "Fields" + std::to_string(info.index); });

BoardRecord Record(const std::string& mac)
{
    BoardRecord record;
    record.time = "2026-12-09T06:30:00Z";
    record.port = "ttyUSB0";
    record.mac = mac;
    record.imagePath = "/fw\tone.bin";
    record.imageSha256 = std::string(64, 'c');
    record.imageLength = 3000;
    record.statusCode = 7;
    record.statusText = "Firmware update successful! Please reset the board.";
    record.result = "programmed";
    record.seconds = 4.25;
    record.host = "line-a";
    return record;
}

TEST(OutcomeWriter, KeepsOutcomesWhileTheServerIsAwayAndSendsThemOnceItIsBack)
{
    TempDir dir;
    PgPrivateServer server("journal");
    PgTestDatabase db(server.Cluster());
    PgAddressPool pool(db.Uri(), "line-a");
    PgBoardSink sink(db.Uri());
    ASSERT_TRUE(pool.Init(0x10, 0x1F).Ok());
    const PoolResult taken = pool.Allocate({"ttyUSB0", "ttyUSB1"}, "2026-12-09T06:29:00Z", std::string(64, 'c'));
    ASSERT_TRUE(taken.Ok()) << taken.message;
    OutcomeWriter writer(&pool, &sink, dir / "journal");

    server.Stop();
    for (const std::string& mac : taken.macs) {
        const auto notes = writer.Write({mac, PoolState::Programmed, "ttyUSB0", "2026-12-09T06:30:00Z",
                                         std::string(64, 'c'), Record(mac)});
        EXPECT_THAT(notes.back(), HasSubstr("waits in " + dir / "journal"));
    }
    EXPECT_EQ(writer.Waiting(), 4u);

    server.Start();
    std::vector<std::string> notes;
    EXPECT_TRUE(writer.Replay(notes));
    EXPECT_THAT(notes.back(), HasSubstr("Sent 4 waiting outcomes"));
    EXPECT_EQ(writer.Waiting(), 0u);
    EXPECT_EQ(db.Value("SELECT count(*) FROM mac_addresses WHERE state = 'programmed'"), "2");
    EXPECT_EQ(db.Value("SELECT string_agg(image, ',') FROM boards"), "/fw\tone.bin,/fw\tone.bin");
    // A replay whose answer was lost sends again: still one row per board.
    writer.Write({taken.macs[0], PoolState::Programmed, "ttyUSB0", "2026-12-09T06:30:00Z",
                  std::string(64, 'c'), Record(taken.macs[0])});
    EXPECT_EQ(db.Value("SELECT count(*) FROM boards"), "2");
}

}  // namespace
