#include "images/prepare_request.h"

#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

TEST(CBoardInfo, ConstructedEmpty)
{
    CBoardInfo info;
    EXPECT_EQ(info.macOffset, 0);
    EXPECT_EQ(info.flashZeroImageOffset, -8);
    EXPECT_EQ(info.image.buffer, nullptr);
}

class PrepareTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(PrepareTest, MacFieldIs2055BytesIntoTheBufferWhateverTheLength)
{
    TempDir dir;
    const std::string path = dir.Write("fw.bin", RandomBytes(GetParam(), 5));
    CBoardInfo info;
    ASSERT_TRUE(PrepareRequest(info, path, "fw.bin", "0050C2123456789A"));
    EXPECT_EQ(info.imagePath, path);
    EXPECT_EQ(info.imageFileName, "fw.bin");
    EXPECT_EQ(info.macText, "0050C2123456789A");
    EXPECT_EQ(info.macOffset, 2055);
    EXPECT_EQ(info.macDestination, info.image.buffer.get() + 2055);
    EXPECT_EQ(info.image.length, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Lengths, PrepareTest, ::testing::Values(10, 2063, 131063));

TEST(CBoardInfo, PrepareTellsTheCallerWhenTheImageDidNotLoad)
{
    TempDir dir;
    CBoardInfo info;
    const ImageLoad load = PrepareRequest(info, dir / "absent.bin", "absent.bin", "0050C2123456789A");
    EXPECT_FALSE(load);
    EXPECT_THAT(load.Messages(), ::testing::ElementsAre(::testing::StartsWith("Unable to open Flash File!\n")));
    EXPECT_EQ(info.macDestination, nullptr);
    EXPECT_EQ(info.image.buffer, nullptr);
}

TEST(CBoardInfo, ASecondPrepareReplacesTheImage)
{
    TempDir dir;
    CBoardInfo info;
    ASSERT_TRUE(PrepareRequest(info, dir.Write("a.bin", RandomBytes(5000, 1)), "a.bin", ""));
    ASSERT_TRUE(PrepareRequest(info, dir.Write("b.bin", RandomBytes(7, 2)), "b.bin", ""));
    EXPECT_EQ(info.image.length, 7u);
    EXPECT_EQ(info.macDestination, info.image.buffer.get() + 2055);
}

}  // namespace
