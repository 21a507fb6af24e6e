// Images converted to S-records by tools that no one here wrote load back to
// exactly the binary they came from.

#include "images/flash_image.h"

#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>


namespace {

int Convert(const std::string& command) { return RunCommand(command).exitCode; }

std::vector<std::string> ReadLines(const std::string& path)
{
    const auto bytes = ReadFileBytes(path);
    std::vector<std::string> lines;
    std::string line;
    for (char c : bytes) {
        if (c != '\n') {
            line += c;
            continue;
        }
        lines.push_back(line);
        line.clear();
    }
    return lines;
}

void ExpectLoadsAsBinary(const std::string& srecordPath, const std::vector<std::uint8_t>& binary)
{
    FlashImage image;
    ASSERT_TRUE(image.Load(srecordPath));
    ASSERT_EQ(image.length, binary.size());
    EXPECT_TRUE(std::equal(binary.begin(), binary.end(), image.buffer.get()));
    EXPECT_THAT(image.intervals,
                ::testing::ElementsAre(AddressInterval{0, static_cast<std::uint32_t>(binary.size())}));
}

struct SrecCatCase {
    int addressLength;
    int lineLength;
    std::size_t size;
};

class SrecCatOracle : public ::testing::TestWithParam<SrecCatCase> {};

TEST_P(SrecCatOracle, LoadsTheConvertedBinary)
{
    const SrecCatCase& c = GetParam();
    TempDir dir;
    const auto binary = RandomBytes(c.size, static_cast<std::uint32_t>(c.size + c.lineLength));
    const std::string input = dir.Write("image.bin", binary);
    const std::string output = dir / "image.s19";
    ASSERT_EQ(Convert(std::string(SREC_CAT) + " '" + input + "' -binary -o '" + output +
                  "' -motorola -address-length=" + std::to_string(c.addressLength) +
                  " -execution-start-address=0 -line-length=" + std::to_string(c.lineLength)),
              0);
    ExpectLoadsAsBinary(output, binary);
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, SrecCatOracle,
    ::testing::Values(SrecCatCase{2, 24, 1}, SrecCatCase{2, 46, 4097}, SrecCatCase{2, 80, 65536},
                      SrecCatCase{3, 30, 300}, SrecCatCase{3, 80, 100000},
                      SrecCatCase{3, 250, FlashImage::kBlockSize}, SrecCatCase{4, 32, 2063},
                      SrecCatCase{4, 80, 131063}, SrecCatCase{4, 250, FlashImage::kBlockSize}));

// Without a start address the file ends in a record count (S5, or S6 past
// 65535 records) instead of a termination record.
struct SrecCatCountCase {
    const char* name;
    const char* options;
    std::size_t size;
};

void PrintTo(const SrecCatCountCase& c, std::ostream* os)
{
    *os << c.name << ", " << c.size << " bytes, " << c.options;
}

class SrecCatCountOracle : public ::testing::TestWithParam<SrecCatCountCase> {};

TEST_P(SrecCatCountOracle, AFileEndedByItsRecordCountLoads)
{
    const SrecCatCountCase& c = GetParam();
    TempDir dir;
    const auto binary = RandomBytes(c.size, static_cast<std::uint32_t>(c.size));
    const std::string input = dir.Write("image.bin", binary);
    const std::string output = dir / c.name;
    ASSERT_EQ(Convert(std::string(SREC_CAT) + " '" + input + "' -binary -o '" + output +
                      "' -motorola " + c.options),
              0);
    const auto lines = ReadLines(output);
    ASSERT_THAT(lines.back(), ::testing::MatchesRegex("S[56].*"));
    ExpectLoadsAsBinary(output, binary);
}

INSTANTIATE_TEST_SUITE_P(Conversions, SrecCatCountOracle,
                         ::testing::Values(SrecCatCountCase{"image.srec", "", 500},
                                           SrecCatCountCase{"image.s28", "-address-length=3", 4097},
                                           SrecCatCountCase{"image.S37",
                                                            "-address-length=4 -Output_Block_Size=16", 3000},
                                           SrecCatCountCase{"image.mot", "-Output_Block_Size=1", 70000}));

struct Truncation {
    const char* name;
    long linesLost;
    long linesKeptAfterThem;
    const char* message;
};
void PrintTo(const Truncation& c, std::ostream* os) { *os << c.name; }

class SrecCatTruncation : public ::testing::TestWithParam<Truncation> {};

TEST_P(SrecCatTruncation, ATruncatedFileIsRefused)
{
    TempDir dir;
    const std::string input = dir.Write("image.bin", RandomBytes(500, 5));
    const std::string output = dir / "image.s19";
    ASSERT_EQ(Convert(std::string(SREC_CAT) + " '" + input + "' -binary -o '" + output +
                      "' -motorola -line-length=46"),
              0);
    auto lines = ReadLines(output);
    const auto kept = lines.end() - GetParam().linesKeptAfterThem;
    lines.erase(kept - GetParam().linesLost, kept);
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    FlashImage image;
    const ImageLoad load = image.Load(dir.Write("image.s19", text));
    EXPECT_FALSE(load);
    EXPECT_THAT(load.Messages(), ::testing::ElementsAre(::testing::HasSubstr(GetParam().message)));
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, SrecCatTruncation,
    ::testing::Values(Truncation{"record_count_lost", 1, 0, "the file may be truncated"},
                      Truncation{"last_data_records_lost", 2, 1, "data records come before it"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SrecCatOracle, AChangedDataDigitIsCaughtByItsChecksum)
{
    TempDir dir;
    const std::string input = dir.Write("image.bin", std::vector<std::uint8_t>(100, 0x11));
    const std::string output = dir / "image.s19";
    ASSERT_EQ(Convert(std::string(SREC_CAT) + " '" + input + "' -binary -o '" + output +
                      "' -motorola -execution-start-address=0 -line-length=46"),
              0);
    const auto bytes = ReadFileBytes(output);
    std::string text(bytes.begin(), bytes.end());
    const std::size_t line3 = text.find('\n', text.find('\n') + 1) + 1;
    ASSERT_EQ(text.compare(line3, 2, "S1"), 0);
    text[line3 + 10] = '2';  // a data byte 0x11 becomes 0x21
    FlashImage image;
    const ImageLoad load = image.Load(dir.Write("image.s19", text));
    EXPECT_FALSE(load);
    EXPECT_THAT(load.Messages(),
                ::testing::ElementsAre(::testing::HasSubstr("Line 3 of the S-record file has checksum")));
}

TEST(SrecCatOracle, UnderARawNameItLoadsAsTextWithAWarning)
{
    TempDir dir;
    const std::string input = dir.Write("image.bin", RandomBytes(300, 2));
    const std::string output = dir / "converted.bin";
    ASSERT_EQ(Convert(std::string(SREC_CAT) + " '" + input + "' -binary -o '" + output + "' -motorola"),
              0);
    FlashImage image;
    const ImageLoad load = image.Load(output);
    ASSERT_TRUE(load);
    EXPECT_EQ(image.length, ReadFileBytes(output).size());
    EXPECT_THAT(load.Messages(), ::testing::ElementsAre(::testing::StartsWith("WARNING: " + output)));
}

struct ObjcopyCase {
    const char* options;
    std::size_t size;
};

class ObjcopyOracle : public ::testing::TestWithParam<ObjcopyCase> {};

TEST_P(ObjcopyOracle, LoadsTheConvertedBinary)
{
    const ObjcopyCase& c = GetParam();
    TempDir dir;
    const auto binary = RandomBytes(c.size, static_cast<std::uint32_t>(c.size));
    const std::string input = dir.Write("image.bin", binary);
    const std::string output = dir / "image.S19";
    ASSERT_EQ(Convert(std::string(OBJCOPY) + " -I binary -O srec " + c.options + " '" + input + "' '" +
                  output + "'"),
              0);
    ExpectLoadsAsBinary(output, binary);
}

INSTANTIATE_TEST_SUITE_P(Conversions, ObjcopyOracle,
                         ::testing::Values(ObjcopyCase{"", 777}, ObjcopyCase{"", 70000},
                                           ObjcopyCase{"--srec-forceS3", 4096},
                                           ObjcopyCase{"--srec-len=100", 131072},
                                           ObjcopyCase{"--srec-forceS3 --srec-len=8", 3000}));

}  // namespace
