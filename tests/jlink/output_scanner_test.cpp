// Following the tool's output for its markers, chunk by chunk.

#include "jlink/output_scanner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

const std::string kDownloading = "Downloading file [temp_jlinkloader/temp_image_";
const std::string kLoading = "Loading binary file... [temp_jlinkloader/temp_image_";

// For each chunk: the piece index found, or -1.
std::vector<int> Pieces(const std::vector<std::string>& chunks)
{
    OutputScanner scanner;
    std::vector<int> found;
    for (const auto& chunk : chunks)
        found.push_back(scanner.Scan(chunk).pieceIndex.value_or(-1));
    return found;
}

// For each chunk: whether the error marker ended in it.
std::vector<bool> Errors(const std::vector<std::string>& chunks)
{
    OutputScanner scanner;
    std::vector<bool> found;
    for (const auto& chunk : chunks)
        found.push_back(scanner.Scan(chunk).error);
    return found;
}

struct ErrorCase {
    const char* name;
    std::vector<std::string> chunks;
    std::vector<bool> expected;
};
void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class ErrorMarker : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorMarker, IsFoundInTheChunkWhereItEnds)
{
    EXPECT_THAT(Errors(GetParam().chunks), ElementsAreArray(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, ErrorMarker,
    ::testing::Values(
        ErrorCase{"InTheMiddle", {"O.K.\n", "abc ****** Error: Failed\nmore"}, {false, true}},
        ErrorCase{"AtTheStart", {"O.K.\n", "****** Error: x"}, {false, true}},
        ErrorCase{"SplitAcrossReads", {"O.K.\n****** Er", "ror: x\n"}, {false, true}},
        ErrorCase{"SplitAfterOneStar", {"*", "***** Error"}, {false, true}},
        ErrorCase{"NotReportedTwice", {"****** Error: a\n", "next line\n"}, {true, false}},
        ErrorCase{"ShortOfTheMarker", {"***** Error", "****** Erro"}, {false, false}},
        ErrorCase{"NoMarker", {"Error: something", "******"}, {false, false}}));

TEST(ErrorMarker, FoundWhereverTheReadSplitsIt)
{
    const std::string text = "Downloading file...\n****** Error: Target not halted\n";
    for (std::size_t cut = 1; cut < text.size(); ++cut) {
        const auto found = Errors({text.substr(0, cut), text.substr(cut)});
        EXPECT_EQ(found[0] || found[1], true) << "cut at " << cut;
        EXPECT_FALSE(found[0] && found[1]) << "cut at " << cut;
    }
}

TEST(ErrorMarker, CarriesTheLineOfTheError)
{
    OutputScanner scanner;
    scanner.Scan("x ****** Err");
    EXPECT_EQ(scanner.Scan("or: Target did not respond\r\nJ-Link>").errorText,
              "****** Error: Target did not respond");
}

TEST(PieceEcho, EachEchoInItsOwnChunk)
{
    EXPECT_THAT(Pieces({kDownloading + "00.bin]...\n", kDownloading + "01.bin]...\n",
                        kDownloading + "02.bin]...\n", "Script processing completed.\n"}),
                ElementsAre(0, 1, 2, -1));
}

TEST(PieceEcho, OnlyTheLastEchoOfAChunkCounts)
{
    EXPECT_THAT(Pieces({kLoading + "03.bin]\nWriting...\n" + kLoading + "04.bin]\n"}), ElementsAre(4));
    EXPECT_THAT(Pieces({kLoading + "03.bin]\n" + kDownloading + "04.bin]...\n"}), ElementsAre(4));
}

TEST(PieceEcho, TheOlderEchoCountsToo)
{
    EXPECT_THAT(Pieces({kLoading + "12.bin]\n"}), ElementsAre(12));
}

TEST(PieceEcho, IndexArrivingInTheNextChunk)
{
    EXPECT_THAT(Pieces({"x" + kDownloading, "05.bin]...\n"}), ElementsAre(-1, 5));
    EXPECT_THAT(Pieces({"x" + kDownloading + "1", "7.bin]...\n"}), ElementsAre(-1, 17));
    EXPECT_THAT(Pieces({"x" + kDownloading.substr(0, 20), kDownloading.substr(20) + "08.bin"}),
                ElementsAre(-1, 8));
}

TEST(PieceEcho, AnEchoIsCountedOnce)
{
    EXPECT_THAT(Pieces({kDownloading + "02.bin]", "...\nO.K.\n", "J-Link>"}), ElementsAre(2, -1, -1));
}

TEST(PieceEcho, IndexNotStartingWithADigitIsZero)
{
    EXPECT_THAT(Pieces({kDownloading + "x1.bin", kDownloading + "7x.bin"}), ElementsAre(0, 7));
}

TEST(PieceEcho, TheFlashLoaderIsNoPiece)
{
    EXPECT_THAT(Pieces({"Downloading file [temp_jlinkloader/flashloader.bin]...\n"}), ElementsAre(-1));
}

TEST(PiecePercent, TruncatesTowardsZero)
{
    EXPECT_EQ(PiecePercent(0, 3), 0);
    EXPECT_EQ(PiecePercent(1, 3), 33);
    EXPECT_EQ(PiecePercent(2, 3), 66);
    EXPECT_EQ(PiecePercent(31, 32), 96);
    EXPECT_EQ(PiecePercent(5, 0), 0);
}

}  // namespace
