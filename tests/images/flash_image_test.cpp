#include "images/flash_image.h"

#include "srecord_text.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

namespace {

bool AllErased(const FlashImage& image, std::uint32_t from, std::uint32_t to)
{
    return std::all_of(image.buffer.get() + from, image.buffer.get() + to,
                       [](std::uint8_t b) { return b == 0xFF; });
}

struct RouteCase {
    const char* path;
    bool srecord;
};

void PrintTo(const RouteCase& c, std::ostream* os) { *os << c.path; }

class RouteTest : public ::testing::TestWithParam<RouteCase> {};

TEST_P(RouteTest, TheNameChoosesTheRoute)
{
    EXPECT_EQ(FlashImage::IsSRecordPath(GetParam().path), GetParam().srecord);
}

INSTANTIATE_TEST_SUITE_P(Paths, RouteTest,
                         ::testing::Values(RouteCase{"/fw/image.s19", true},
                                           RouteCase{"/fw/IMAGE.S19", true},
                                           RouteCase{"/fw/images19", true},
                                           RouteCase{"s19", true},
                                           RouteCase{"19", false},
                                           RouteCase{"/fw/image.bin", false},
                                           RouteCase{"/fw/image.hex", false},
                                           RouteCase{"/fw/image.s19.bin", false},
                                           RouteCase{"/fw/image.srec", true},
                                           RouteCase{"/fw/IMAGE.SRec", true},
                                           RouteCase{"/fw/image.s28", true},
                                           RouteCase{"/fw/image.S37", true},
                                           RouteCase{"/fw/image.Mot", true},
                                           RouteCase{"image.mot", true},
                                           RouteCase{"/fw/images28", false},
                                           RouteCase{"/fw/imagemot", false},
                                           RouteCase{"/fw/image.srec.bin", false},
                                           RouteCase{"/fw.mot/image", false}));

TEST(RawImage, LoadsBytesAndFillsTheRestAsErasedFlash)
{
    TempDir dir;
    const auto bytes = RandomBytes(1000, 7);
    FlashImage image;
    ASSERT_TRUE(image.Load(dir.Write("fw.bin", bytes)));
    EXPECT_EQ(image.length, 1000u);
    EXPECT_EQ(image.data, image.buffer.get());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), image.buffer.get()));
    EXPECT_TRUE(AllErased(image, 1000, FlashImage::kBlockSize));
}

TEST(RawImage, AWholeBlockFits)
{
    TempDir dir;
    const auto bytes = RandomBytes(FlashImage::kBlockSize, 3);
    FlashImage image;
    ASSERT_TRUE(image.Load(dir.Write("fw.bin", bytes)));
    EXPECT_EQ(image.length, FlashImage::kBlockSize);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), image.buffer.get()));
}

struct RawTextCase {
    const char* name;
    std::string text;
    bool warns;
};
void PrintTo(const RawTextCase& c, std::ostream* os) { *os << c.name; }

class RawTextTest : public ::testing::TestWithParam<RawTextCase> {};

// Programming the text of an S-record file is never what was meant, but a
// raw image is whatever its bytes are: the load warns and goes on.
TEST_P(RawTextTest, SRecordTextUnderARawNameWarnsAndStillLoads)
{
    const RawTextCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.Write("fw.bin", c.text);
    FlashImage image;
    const ImageLoad load = image.Load(path);
    ASSERT_TRUE(load);
    EXPECT_EQ(image.length, c.text.size());
    if (c.warns)
        EXPECT_THAT(load.Messages(), ElementsAre(AllOf(StartsWith("WARNING: " + path + " looks like"),
                                                        HasSubstr("S-record extension"))));
    else
        EXPECT_THAT(load.Messages(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, RawTextTest,
    ::testing::Values(
        RawTextCase{"srecord_text", "S00600004844521B\n" + MakeDataRecord(1, 0x100, {1}) + kS9, true},
        RawTextCase{"blanks_lower_case_crlf", " \ts1070100AABBCCDDE9\r\nS9030000FC\r\n", true},
        RawTextCase{"other_text", "Some notes about S1 records\n", false},
        RawTextCase{"srecord_start_then_binary", std::string("S10B\x01\x02\xFF\n", 8), false},
        RawTextCase{"s_without_hex_count", "S1ZZ0100\n", false},
        RawTextCase{"count_record_first", "S5030001FB\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct RawFailure {
    const char* name;
    std::size_t size;  // file of this many bytes; SIZE_MAX: no file; SIZE_MAX - 1: a folder
    std::string message;
    const char* reason;  // after the path on the second line
};
void PrintTo(const RawFailure& c, std::ostream* os) { *os << c.name; }


class RawFailureTest : public ::testing::TestWithParam<RawFailure> {};

TEST_P(RawFailureTest, ShowsItsMessageAndLeavesNoImage)
{
    const RawFailure& c = GetParam();
    TempDir dir;
    std::string path = dir / "fw.bin";
    if (c.size == SIZE_MAX - 1)
        std::filesystem::create_directory(path);
    else if (c.size != SIZE_MAX)
        dir.Write("fw.bin", RandomBytes(c.size, 1));
    FlashImage image;
    const ImageLoad load = image.Load(path);
    EXPECT_FALSE(load);
    EXPECT_THAT(load.Messages(), ElementsAre(c.message + "\n" + path + c.reason));
    EXPECT_EQ(image.data, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RawFailureTest,
    ::testing::Values(
        RawFailure{"missing", SIZE_MAX, "Unable to open Flash File!", ": No such file or directory"},
        RawFailure{"empty", 0, "ERROR: File has size 0 !", ": the file is empty"},
        RawFailure{"folder", SIZE_MAX - 1, "ERROR: Unable to get Flash File size 2!",
                   ": Is a directory"},
        RawFailure{"one_byte_too_many", FlashImage::kBlockSize + 1,
                   "ERROR: The image is 131073 bytes long; at most 131063 bytes fit in the flash "
                   "behind its 8-byte header!",
                   ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FlashImageFiles, APipeNamedLikeAnImageIsRefusedWithoutBlocking)
{
    TempDir dir;
    for (const char* name : {"fw.bin", "fw.s19"}) {
        const std::string path = dir / name;
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        FlashImage image;
        const ImageLoad load = image.Load(path);
        EXPECT_FALSE(load);
        const std::string message = FlashImage::IsSRecordPath(path)
                                        ? "ERROR: Unable to get Flash File size 3!"
                                        : "Unable to open Flash File!";
        EXPECT_THAT(load.Messages(), ElementsAre(message + "\n" + path + ": not a regular file"));
    }
}

struct SRecordCase {
    const char* name;
    std::string text;
    std::uint32_t length;
    std::vector<AddressInterval> intervals;
};
void PrintTo(const SRecordCase& c, std::ostream* os) { *os << c.name; }


class SRecordTest : public ::testing::TestWithParam<SRecordCase> {};

TEST_P(SRecordTest, LengthAndAddressRuns)
{
    const SRecordCase& c = GetParam();
    TempDir dir;
    FlashImage image;
    const ImageLoad load = image.Load(dir.Write("fw.s19", c.text));
    ASSERT_TRUE(load);
    EXPECT_TRUE(load.Messages().empty());
    EXPECT_EQ(image.length, c.length);
    EXPECT_EQ(image.intervals, c.intervals);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SRecordTest,
    ::testing::Values(
        SRecordCase{"two_runs",
                    MakeDataRecord(1, 0x100, Counting(16)) + MakeDataRecord(1, 0x110, Counting(16)) +
                        MakeDataRecord(1, 0x200, Counting(8)) + kS9,
                    0x208,
                    {{0x100, 0x120}, {0x200, 0x208}}},
        SRecordCase{"run_at_zero_before_a_gap_is_entered",
                    MakeDataRecord(1, 0, Counting(16)) + MakeDataRecord(1, 0x40, Counting(16)) + kS9,
                    0x50,
                    {{0, 0x10}, {0x40, 0x50}}},
        SRecordCase{"run_at_zero_reaching_the_end_is_entered",
                    MakeDataRecord(1, 0, Counting(16)) + MakeDataRecord(1, 0x10, Counting(16)) + kS9,
                    0x20,
                    {{0, 0x20}}},
        SRecordCase{"length_from_the_highest_record_not_the_last",
                    MakeDataRecord(1, 0x200, Counting(8)) + MakeDataRecord(1, 0x100, Counting(16)) +
                        kS9,
                    0x208,
                    {{0x200, 0x208}, {0x100, 0x110}}},
        SRecordCase{"descending_records_down_to_zero",
                    MakeDataRecord(1, 0x20, Counting(16)) + MakeDataRecord(1, 0x10, Counting(16)) +
                        MakeDataRecord(1, 0, Counting(16)) + kS9,
                    0x30,
                    {{0x20, 0x30}, {0x10, 0x20}, {0, 0x10}}},
        SRecordCase{"a_record_without_bytes_makes_no_run",
                    MakeDataRecord(1, 0x100, Counting(4)) + MakeDataRecord(1, 0x300, {}) + kS9,
                    0x300,
                    {{0x100, 0x104}}},
        SRecordCase{"s2_and_s3_records",
                    MakeDataRecord(2, 0x010000, Counting(16)) +
                        MakeDataRecord(3, 0x00010010, Counting(16)) + "S804000000FB\n",
                    0x10020,
                    {{0x10000, 0x10020}}},
        SRecordCase{"blanks_lower_case_headers_and_counts",
                    "S00600004844521B\n \t" + MakeDataRecord(1, 0x100, Counting(4)) + "s5030001FB\n" +
                        "garbage line\n" + "s9030000FC\n",
                    0x104,
                    {{0x100, 0x104}}},
        SRecordCase{"crlf_line_ends", "S1070100AABBCCDDE9\r\nS9030000FC\r\n", 0x104,
                    {{0x100, 0x104}}},
        SRecordCase{"lines_after_the_termination_are_not_read",
                    MakeDataRecord(1, 0x100, Counting(4)) + kS9 + "S1FF0000ZZ\n", 0x104,
                    {{0x100, 0x104}}},
        SRecordCase{"a_matching_record_count_ends_a_file_without_termination",
                    MakeDataRecord(1, 0x100, Counting(4)) + MakeDataRecord(1, 0x104, Counting(4)) +
                        "S5030002FA\n",
                    0x108,
                    {{0x100, 0x108}}},
        SRecordCase{"data_ending_exactly_at_the_block_end",
                    MakeDataRecord(3, 0x1FFF0, Counting(16)) + "S70500000000FA\n",
                    FlashImage::kBlockSize,
                    {{0x1FFF0, 0x20000}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SRecordData, BytesLandAtTheirAddressesAndTheRestIsErased)
{
    TempDir dir;
    FlashImage image;
    ASSERT_TRUE(image.Load(dir.Write("fw.s19", "S10B01000001020304050607D7\nS9030000FC\n")));
    EXPECT_EQ(image.length, 0x108u);
    EXPECT_TRUE(std::equal(image.buffer.get() + 0x100, image.buffer.get() + 0x108,
                           Counting(8).begin()));
    EXPECT_TRUE(AllErased(image, 0, 0x100));
    EXPECT_TRUE(AllErased(image, 0x108, FlashImage::kBlockSize));
}

TEST(SRecordData, ALaterRecordOverwritesAnEarlierOne)
{
    TempDir dir;
    FlashImage image;
    ASSERT_TRUE(image.Load(dir.Write(
        "fw.s19", MakeDataRecord(1, 0x10, {1, 2, 3, 4}) + MakeDataRecord(1, 0x12, {9}) + kS9)));
    EXPECT_THAT(std::vector<std::uint8_t>(image.buffer.get() + 0x10, image.buffer.get() + 0x14),
                ElementsAre(1, 2, 9, 4));
}

struct SRecordFailure {
    const char* name;
    std::string text;
    const char* message;
};
void PrintTo(const SRecordFailure& c, std::ostream* os) { *os << c.name; }


class SRecordFailureTest : public ::testing::TestWithParam<SRecordFailure> {};

TEST_P(SRecordFailureTest, RefusesTheFileWithOneMessage)
{
    const SRecordFailure& c = GetParam();
    TempDir dir;
    FlashImage image;
    const std::string path = dir.Write("fw.s19", c.text);
    const ImageLoad load = image.Load(path);
    EXPECT_FALSE(load);
    EXPECT_THAT(load.Messages(), ElementsAre(AllOf(HasSubstr(c.message), HasSubstr("\n" + path))));
    EXPECT_EQ(image.data, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SRecordFailureTest,
    ::testing::Values(
        SRecordFailure{"no_termination", MakeDataRecord(1, 0x100, Counting(4)),
                       "ERROR: File has size 0 !"},
        SRecordFailure{"data_after_the_record_count",
                       MakeDataRecord(1, 0x100, {1}) + "S5030001FB\n" + MakeDataRecord(1, 0x101, {2}),
                       "ERROR: File has size 0 !"},
        SRecordFailure{"record_count_that_does_not_match",
                       MakeDataRecord(1, 0x100, {1}) + MakeDataRecord(1, 0x101, {2}) + "S5030001FB\n" +
                           kS9,
                       "Line 3 of the S-record file has a record count of 1, but 2 data records come "
                       "before it"},
        SRecordFailure{"termination_before_data", std::string(kS9) + MakeDataRecord(1, 0, {1}),
                       "ERROR: File has size 0 !\n"},
        SRecordFailure{"data_ending_at_zero", MakeDataRecord(1, 0, {}) + kS9,
                       "no data bytes come before its termination record"},
        SRecordFailure{"no_data_before_the_record_count", "S5030000FC\n",
                       "no data bytes come before its record count"},
        SRecordFailure{"line_longer_than_the_buffer", "S0" + std::string(1100, '0') + "\n" + kS9,
                       "Line 1 of the S-record file is longer than 1023 characters"},
        SRecordFailure{"nul_byte_in_an_ignored_line",
                       MakeDataRecord(1, 0x100, {1}) + std::string("S0\0\n", 4) + kS9,
                       "Line 2 of the S-record file holds a NUL byte"},
        SRecordFailure{"nul_byte_in_a_long_line",
                       "S0" + std::string(600, '0') + std::string(1, '\0') + std::string(600, '0') +
                           "\n" + MakeDataRecord(1, 0x100, {1}) + kS9,
                       "Line 1 of the S-record file holds a NUL byte"},
        SRecordFailure{"wrong_s1_checksum", "S10B0100000102030405060700\n" + std::string(kS9),
                       "Line 1 of the S-record file has checksum 00 where its bytes need D7"},
        SRecordFailure{"wrong_s2_checksum",
                       MakeDataRecord(1, 0, {1}) + "s2080100000102030405\n" + kS9,
                       "Line 2 of the S-record file has checksum 05 where its bytes need EC"},
        SRecordFailure{"wrong_s3_checksum", "S30700000100010200\n" + std::string(kS9),
                       "Line 1 of the S-record file has checksum 00 where its bytes need F4"},
        SRecordFailure{"wrong_s5_checksum", MakeDataRecord(1, 0x100, {1}) + "S5030001FA\n" + kS9,
                       "Line 2 of the S-record file has checksum FA where its bytes need FB"},
        SRecordFailure{"wrong_s6_checksum", MakeDataRecord(1, 0x100, {1}) + "S604000001FB\n" + kS9,
                       "Line 2 of the S-record file has checksum FB where its bytes need FA"},
        SRecordFailure{"wrong_s7_checksum", MakeDataRecord(1, 0x100, {1}) + "S70500000000FB\n",
                       "Line 2 of the S-record file has checksum FB where its bytes need FA"},
        SRecordFailure{"wrong_s8_checksum", MakeDataRecord(1, 0x100, {1}) + "S804000000FA\n",
                       "Line 2 of the S-record file has checksum FA where its bytes need FB"},
        SRecordFailure{"wrong_s9_checksum", MakeDataRecord(1, 0x100, {1}) + "S9030000FD\n",
                       "Line 2 of the S-record file has checksum FD where its bytes need FC"},
        SRecordFailure{"checksum_missing", "S1070100AABBCCDD\n" + std::string(kS9),
                       "Line 1 of the S-record file has a byte count that runs past the end"},
        SRecordFailure{"termination_without_its_fields", MakeDataRecord(1, 0x100, {1}) + "S9\n",
                       "Line 2 of the S-record file has a byte count that is not two hexadecimal"},
        SRecordFailure{"checksum_not_hex", "S1070100AABBCCDDE?\n" + std::string(kS9),
                       "Line 1 of the S-record file has a checksum that is not hexadecimal"},
        SRecordFailure{"count_past_the_end_of_the_line", "S1FF0100AABB\n" + std::string(kS9),
                       "Line 1 of the S-record file has a byte count that runs past the end"},
        SRecordFailure{"count_too_small", "S1020100\n" + std::string(kS9),
                       "has a byte count too small"},
        SRecordFailure{"count_not_hex", "S1G70100AABBCCDDE9\n" + std::string(kS9),
                       "has a byte count that is not two hexadecimal digits"},
        SRecordFailure{"address_not_hex", MakeDataRecord(1, 0, {1}) + "S10701X0AABBCCDDE9\n" + kS9,
                       "Line 2 of the S-record file has an address that is not hexadecimal"},
        SRecordFailure{"data_not_hex", "S1070100AAB CCDD01\n" + std::string(kS9),
                       "has data that is not hexadecimal"},
        SRecordFailure{"data_at_the_block_end", MakeDataRecord(3, 0x20000, {1}) + kS9,
                       "puts data at address 0x20000; at most 131063 bytes fit in the flash behind "
                       "its 8-byte header"},
        SRecordFailure{"data_crossing_the_block_end", MakeDataRecord(3, 0x1FFFF, {1, 2}) + kS9,
                       "puts data at address 0x20000"},
        SRecordFailure{"far_address", MakeDataRecord(3, 0xFFFFFFFF, {1, 2}) + kS9,
                       "puts data at address 0xFFFFFFFF"}),
    [](const auto& info) { return std::string(info.param.name); });

// A file of NULs is refused at its first line, not read to its end on the
// window's thread.
TEST(SRecordFile, AHugeFileOfNulsIsRefusedAtItsFirstLine)
{
    TempDir dir;
    const std::string path = dir.Write("fw.s19", "");
    std::filesystem::resize_file(path, std::uintmax_t{10} << 30);  // sparse: costs no disk
    FlashImage image;
    const ImageLoad load = image.Load(path);
    EXPECT_FALSE(load);
    EXPECT_THAT(load.Messages(), ElementsAre(HasSubstr("Line 1 of the S-record file holds a NUL byte")));
    EXPECT_EQ(load.problem->line, 1);
    EXPECT_EQ(load.problem->path, path);
}

TEST(SRecordFile, WithoutTerminationOrRecordCountItMayBeTruncated)
{
    TempDir dir;
    const std::string path = dir.Write("fw.s19", MakeDataRecord(1, 0x100, Counting(4)));
    FlashImage image;
    const ImageLoad load = image.Load(path);
    EXPECT_FALSE(load);
    EXPECT_THAT(load.Messages(),
                ElementsAre(AllOf(StartsWith("ERROR: File has size 0 !\n" + path + ": "),
                                  HasSubstr("termination record (S7, S8 or S9) is missing"),
                                  HasSubstr("may be truncated"))));
}

TEST(SRecordFile, AFolderIsAFileThatCannotBeRead)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "fw.s19");
    FlashImage image;
    const ImageLoad load = image.Load(dir / "fw.s19");
    EXPECT_FALSE(load);
    EXPECT_THAT(load.Messages(), ElementsAre("ERROR!: Could not read from the file  \n" +
                                              dir / "fw.s19" + ": Is a directory"));
}

TEST(SRecordFile, MissingFileReportsTheSizingMessage)
{
    TempDir dir;
    FlashImage image;
    const ImageLoad load = image.Load(dir / "absent.s19");
    EXPECT_FALSE(load);
    EXPECT_THAT(load.Messages(), ElementsAre("ERROR: Unable to get Flash File size 3!\n" +
                                              dir / "absent.s19" + ": No such file or directory"));
}

TEST(FlashImageReuse, ASecondLoadReplacesTheFirst)
{
    TempDir dir;
    FlashImage image;
    ASSERT_TRUE(image.Load(dir.Write("a.s19", MakeDataRecord(1, 0x100, Counting(16)) + kS9)));
    ASSERT_TRUE(image.Load(dir.Write("b.bin", RandomBytes(4, 1))));
    EXPECT_EQ(image.length, 4u);
    EXPECT_TRUE(AllErased(image, 4, FlashImage::kBlockSize));
}

}  // namespace
