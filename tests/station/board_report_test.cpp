// The report's lines and the time they carry.

#include "station/board_report.h"

#include <gtest/gtest.h>

namespace {

TEST(BoardReport, OneEscapedObjectPerLineWithUtcTime)
{
    BoardRecord record;
    record.time = UtcTimeText(std::chrono::system_clock::time_point(std::chrono::seconds(1796735105)));
    record.port = "ttyUSB0";
    record.mac = "0050C20000000001";
    record.imagePath = "/tmp/a \"b\"\\c\n.bin";
    record.imageSha256 = "ab";
    record.imageLength = 3000;
    record.statusCode = 7;
    record.statusText = "Done";
    record.result = "programmed";
    record.seconds = 12.3456;
    EXPECT_EQ(ReportLine(record),
              "{\"time\":\"2026-12-08T13:05:05Z\",\"port\":\"ttyUSB0\",\"mac\":\"0050C20000000001\","
              "\"image\":\"/tmp/a \\\"b\\\"\\\\c\\u000a.bin\",\"image_sha256\":\"ab\","
              "\"image_length\":3000,\"status\":7,\"status_text\":\"Done\",\"result\":\"programmed\","
              "\"seconds\":12.346}\n");
    EXPECT_EQ(UtcTimeText(std::chrono::system_clock::time_point{}), "1970-01-01T00:00:00Z");
}

}  // namespace
