// Damaged GIFs: random bytes changed in real files. Parsing must stay inside
// the data (the guard page makes a stray read crash) and every frame it
// reports must itself be a well-formed one-frame GIF.

#include "pictures/gif_frames.h"

#include "guarded_bytes.h"

#include <gtest/gtest.h>

#include <random>

namespace {

void ExpectWellFormed(const GifFrame& frame) {
    GuardedBytes guarded(frame.gif);
    EXPECT_EQ(CountGifFrames(guarded.Span()), 1u);
    EXPECT_EQ(frame.gif.back(), 0x3B);
}

TEST(GifFuzzTest, DamagedFilesNeverLeadOutsideTheData) {
    const std::vector<std::uint8_t> files[] = {ReadTestData("animated.gif")};
    std::mt19937 random(20261207);
    for (const auto& file : files) {
        for (int round = 0; round < 2000; ++round) {
            std::vector<std::uint8_t> damaged = file;
            const int changes = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < changes; ++i) {
                damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
            }
            damaged.resize(damaged.size() - random() % 40);
            GuardedBytes guarded(damaged);
            const auto frames = SplitGifFrames(guarded.Span());
            ASSERT_EQ(frames.size(), CountGifFrames(guarded.Span()));
            for (const GifFrame& frame : frames) ExpectWellFormed(frame);
        }
    }
}

}  // namespace
