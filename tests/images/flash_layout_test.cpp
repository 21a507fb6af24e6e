#include "flash/flash_layout.h"
#include "flash/flash_plan.h"

#include "images/flash_image.h"
#include "job/mac_address.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

const MacBytes kMac{0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01};

TEST(FlashLayout, TheLargestImageThatFitsIs131063Bytes)
{
    EXPECT_TRUE(ImageFitsFlash(131063));
    EXPECT_FALSE(ImageFitsFlash(131064));
    EXPECT_NE(ImageTooLongMessage(131064).find("131064"), std::string::npos);
}

TEST(FlashLayout, HeaderIsOkokAndTheLittleEndianLength)
{
    const auto header = MakeFlashHeader(0x0001F2A3);
    EXPECT_EQ(std::vector<std::uint8_t>(header.begin(), header.end()),
              (std::vector<std::uint8_t>{'O', 'K', 'O', 'K', 0xA3, 0xF2, 0x01, 0x00}));
}

class FlashContentTest : public ::testing::TestWithParam<std::size_t> {};

// The MAC lands at image offsets 2055..2062, and only what the image reaches
// is programmed.
TEST_P(FlashContentTest, ImageWithMacBehindTheHeader)
{
    const std::size_t size = GetParam();
    TempDir dir;
    const auto bytes = RandomBytes(size, 11);
    FlashImage image;
    ASSERT_TRUE(image.Load(dir.Write("fw.bin", bytes)));

    const auto flash = FlashPlan(image.Bytes(), kMac, ShortImage::KeepLength).Content();
    ASSERT_EQ(flash.size(), 8 + size);
    const auto header = MakeFlashHeader(static_cast<std::uint32_t>(size));
    EXPECT_TRUE(std::equal(header.begin(), header.end(), flash.begin()));
    for (std::size_t i = 0; i < size; ++i) {
        const bool inMac = i >= kMacOffset && i < kMacOffset + 8;
        ASSERT_EQ(flash[8 + i], inMac ? kMac[i - kMacOffset] : bytes[i]) << "image offset " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FlashContentTest,
                         ::testing::Values(1, 100, 2055, 2058, 2063, 5000, 131063));

}  // namespace
