// The command script and the pieces it names, as text.

#include "expected_script.h"
#include "jlink/command_script.h"
#include "jlink/tool_file_names.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace {

// The script for an image of `length` bytes, at least the MAC field's end.
std::string ScriptFor(std::uint32_t length)
{
    const std::vector<std::uint8_t> image(length);
    return BuildCommandScript(FlashPlan(image, MacBytes{}, ShortImage::GrowToMacEnd));
}

TEST(CommandScript, WorkedExampleOfTenThousandBytes)
{
    EXPECT_THAT(PieceSizes(10000), ElementsAre(4088u, 4096u, 1816u));
    EXPECT_EQ(ScriptFor(10000), ExpectedScriptFor10000());
}

struct ScriptCase {
    std::uint32_t length;
    const char* lengthHex;
    std::vector<ExpectedPiece> pieces;
};
void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.length << " bytes"; }

class CommandScriptText : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(CommandScriptText, MatchesByteForByte)
{
    const ScriptCase& c = GetParam();
    EXPECT_EQ(ScriptFor(c.length), ExpectedScript(c.lengthHex, c.pieces));
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, CommandScriptText,
    ::testing::Values(
        // An image of 100 bytes has grown to 2063 with the MAC field.
        ScriptCase{2063, "0x0000080f", {{"00", "0x00000008", "0x0000080f"}}},
        // Exactly one piece: the second read finds nothing.
        ScriptCase{4088, "0x00000ff8", {{"00", "0x00000008", "0x00000ff8"}}},
        ScriptCase{4089, "0x00000ff9",
                   {{"00", "0x00000008", "0x00000ff8"}, {"01", "0x00001000", "0x00000001"}}},
        // 4088 + 4096: the last piece full, no empty one behind it.
        ScriptCase{8184, "0x00001ff8",
                   {{"00", "0x00000008", "0x00000ff8"}, {"01", "0x00001000", "0x00001000"}}}));

TEST(CommandScript, LargestImageMakesThirtyTwoPieces)
{
    const auto sizes = PieceSizes(131063);
    ASSERT_EQ(sizes.size(), 32u);
    EXPECT_EQ(sizes.front(), 4088u);
    EXPECT_EQ(sizes.back(), 4095u);
    const std::string script = ScriptFor(131063);
    EXPECT_EQ(script.substr(0, ExpectedStartBlock("0x0001fff7").size()), ExpectedStartBlock("0x0001fff7"));
    EXPECT_THAT(script, HasSubstr(ExpectedPieceBlock({"09", "0x00009000", "0x00001000"})));
    EXPECT_THAT(script, HasSubstr(ExpectedPieceBlock({"10", "0x0000a000", "0x00001000"})));
    const std::string last = ExpectedPieceBlock({"31", "0x0001f000", "0x00000fff"}) +
                             ExpectedFinalBlock("0x0001fff7");
    ASSERT_GE(script.size(), last.size());
    EXPECT_EQ(script.substr(script.size() - last.size()), last);
    EXPECT_THAT(script, ::testing::Not(HasSubstr("temp_image_32")));
}

TEST(CommandScript, EndsWithQuitAndHasOnlyLineFeeds)
{
    const std::string script = ScriptFor(10000);
    EXPECT_EQ(script.back(), 'q');
    EXPECT_EQ(script[script.size() - 2], '\n');
    EXPECT_EQ(script.find('\r'), std::string::npos);
    EXPECT_EQ(script.find('\\'), std::string::npos);
}

TEST(JobNames, PiecesAreNumberedWithTwoDigits)
{
    std::vector<std::string> names;
    for (int i : {0, 9, 10, 31})
        names.push_back(WorkRelativePath(PieceFileName(i)));
    EXPECT_THAT(names, ElementsAreArray({"temp_jlinkloader/temp_image_00.bin",
                                         "temp_jlinkloader/temp_image_09.bin",
                                         "temp_jlinkloader/temp_image_10.bin",
                                         "temp_jlinkloader/temp_image_31.bin"}));
    EXPECT_EQ(ToolRelativePath(), "jlink/JLinkExe");
    EXPECT_EQ(JoinPath("/tmp/", "jlink.log"), "/tmp/jlink.log");
}

}  // namespace
