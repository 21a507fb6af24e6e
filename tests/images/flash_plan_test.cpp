// The plan of writes both jobs carry out, for image lengths around the MAC
// field's end and for either way of treating a short image.

#include "flash/flash_plan.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>

namespace {

const MacBytes kMac{0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01};

struct PlanCase {
    std::size_t length;
    ShortImage shortImage;
    std::uint32_t programmedLength;  // what the header states
};
void PrintTo(const PlanCase& c, std::ostream* os)
{
    *os << c.length << " bytes, " << (c.shortImage == ShortImage::KeepLength ? "kept" : "grown");
}

class FlashPlanTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(FlashPlanTest, HeaderLastAndEveryImageByteWrittenOnce)
{
    const PlanCase& c = GetParam();
    const FlashPlan plan(RandomBytes(c.length, 5), kMac, c.shortImage);
    const auto writes = plan.Writes();
    ASSERT_FALSE(writes.empty());
    const FlashWrite header = writes.back();
    EXPECT_EQ(header.address, 0u);
    const auto expectedHeader = MakeFlashHeader(c.programmedLength);
    EXPECT_TRUE(std::ranges::equal(header.bytes, expectedHeader));

    std::vector<int> times(kHeaderSize + c.programmedLength);
    for (const FlashWrite& write : writes) {
        ASSERT_LE(write.address + write.bytes.size(), times.size()) << "write at " << write.address;
        for (std::size_t i = 0; i < write.bytes.size(); ++i)
            ++times[write.address + i];
    }
    EXPECT_EQ(std::ranges::count(times, 1), static_cast<std::ptrdiff_t>(times.size()));
}

// The MAC lands at image offset 2055 where the programmed image reaches;
// grown bytes are zero.
TEST_P(FlashPlanTest, ImageHoldsTheMacInsideItsLength)
{
    const PlanCase& c = GetParam();
    const auto image = RandomBytes(c.length, 6);
    const FlashPlan plan(image, kMac, c.shortImage);
    ASSERT_EQ(plan.ImageLength(), c.programmedLength);
    const auto content = plan.Content();
    ASSERT_EQ(content.size(), kHeaderSize + c.programmedLength);
    for (std::size_t i = 0; i < c.programmedLength; ++i) {
        const bool inMac = i >= kMacOffset && i < kMacOffset + kMac.size();
        const std::uint8_t expected = inMac ? kMac[i - kMacOffset] : i < image.size() ? image[i] : 0;
        ASSERT_EQ(content[kHeaderSize + i], expected) << "image offset " << i;
        ASSERT_EQ(plan.Image()[i], expected) << "image offset " << i;
    }
}

constexpr auto kKeep = ShortImage::KeepLength;
constexpr auto kGrow = ShortImage::GrowToMacEnd;

INSTANTIATE_TEST_SUITE_P(
    Lengths, FlashPlanTest,
    ::testing::Values(PlanCase{0, kKeep, 0}, PlanCase{0, kGrow, 2063}, PlanCase{1, kGrow, 2063},
                      PlanCase{2055, kKeep, 2055}, PlanCase{2055, kGrow, 2063},
                      PlanCase{2059, kKeep, 2059}, PlanCase{2059, kGrow, 2063},
                      PlanCase{2063, kKeep, 2063}, PlanCase{2063, kGrow, 2063},
                      PlanCase{2064, kKeep, 2064}, PlanCase{2064, kGrow, 2064},
                      PlanCase{kMaxImageLength, kKeep, kMaxImageLength}));

}  // namespace
