// Taking GIFs apart: files written by ImageMagick, and hand-made streams for
// the shapes and the damage an encoder does not produce.

#include "pictures/gif_frames.h"

#include "gif_builder.h"
#include "guarded_bytes.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

Bytes Prefix(const Bytes& data, std::size_t length) {
    return Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
}

std::size_t Count(const Bytes& bytes) { return CountGifFrames(GuardedBytes(bytes).Span()); }

bool Contains(const Bytes& haystack, const Bytes& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
           haystack.end();
}

struct ExpectedFrame {
    int left, top, width, height;
    unsigned delay, disposal;
};

TEST(GifFramesTest, SplitsTheImageMagickAnimationIntoItsFrames) {
    const Bytes file = ReadTestData("animated.gif");
    GuardedBytes guarded(file);
    const auto frames = SplitGifFrames(guarded.Span());
    const ExpectedFrame expected[] = {
        {0, 0, 40, 15, 5, 1}, {5, 5, 10, 10, 0, 2}, {20, 10, 12, 8, 20, 3}, {2, 20, 8, 8, 4, 0}};
    ASSERT_EQ(frames.size(), std::size(expected));
    EXPECT_EQ(CountGifFrames(guarded.Span()), frames.size());
    const auto screen = ReadGifScreen(guarded.Span());
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->width, 40);
    EXPECT_EQ(screen->height, 30);
    const Bytes head(file.begin(), file.begin() + screen->FirstBlockOffset());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        const GifFrame& frame = frames[i];
        EXPECT_EQ(frame.left, expected[i].left);
        EXPECT_EQ(frame.top, expected[i].top);
        EXPECT_EQ(frame.width, expected[i].width);
        EXPECT_EQ(frame.height, expected[i].height);
        EXPECT_EQ(frame.delay, expected[i].delay);
        EXPECT_EQ(frame.disposal, expected[i].disposal);
        EXPECT_TRUE(frame.hasControl);
        // Header, screen and global table first, the frame's own blocks,
        // the trailer last: a GIF of its own.
        ASSERT_GT(frame.gif.size(), head.size() + 1);
        EXPECT_TRUE(std::equal(head.begin(), head.end(), frame.gif.begin()));
        EXPECT_EQ(frame.gif[head.size()], 0x21);
        EXPECT_EQ(frame.gif[head.size() + 1], 0xF9);
        EXPECT_EQ(frame.gif.back(), kTrailer);
    }
    // The comment after each control extension stays with its frame, and so
    // does the looping extension that follows the first one.
    EXPECT_TRUE(Contains(frames[0].gif, Bytes{0x21, 0xFF, 0x0B, 'N', 'E', 'T'}));
    EXPECT_TRUE(Contains(frames[2].gif, Bytes{0x21, 0xFE}));
    EXPECT_FALSE(Contains(frames[2].gif, Bytes{0x21, 0xFF}));
}

// Frames of a longer animation written by ImageMagick at test time, against
// what ImageMagick itself reports about them.
TEST(GifFramesTest, AgreesWithImageMagickOnAGeneratedAnimation) {
    TempDir dir;
    const std::string path = dir / "generated.gif";
    std::ostringstream command;
    command << ShellQuote(IMAGEMAGICK_CONVERT) << " -loop 3";
    for (int i = 0; i < 9; ++i) {
        const char* disposal[] = {"None", "Background", "Previous"};
        command << " -dispose " << disposal[i % 3] << " -delay " << i * 3 << " -page 60x40+"
                << i * 4 << "+" << i * 3 << " -size " << (6 + i) << "x" << (5 + i)
                << " xc:'rgb(" << 20 * i << ",90," << 250 - 20 * i << ")'";
    }
    command << " " << ShellQuote(path);
    ASSERT_EQ(RunCommand(command.str()).exitCode, 0);
    const auto report = RunCommand(CommandLine(
        {IMAGEMAGICK_IDENTIFY, "-format", "%X %Y %w %h %T\\n", path}));
    ASSERT_EQ(report.exitCode, 0) << report.output;

    const Bytes file = ReadFileBytes(path);
    const auto frames = SplitGifFrames(GuardedBytes(file).Span());
    std::istringstream lines(report.output);
    std::size_t index = 0;
    int left, top, width, height;
    unsigned delay;
    while (lines >> left >> top >> width >> height >> delay) {
        ASSERT_LT(index, frames.size());
        SCOPED_TRACE(index);
        EXPECT_EQ(frames[index].left, left);
        EXPECT_EQ(frames[index].top, top);
        EXPECT_EQ(frames[index].width, width);
        EXPECT_EQ(frames[index].height, height);
        EXPECT_EQ(frames[index].delay, delay);
        ++index;
    }
    EXPECT_EQ(index, 9u);
    EXPECT_EQ(frames.size(), 9u);
}

TEST(GifFramesTest, EveryPrefixOfAFileYieldsOnlyItsWholeFrames) {
    const Bytes file = ReadTestData("animated.gif");
    const auto screen = ReadGifScreen(GuardedBytes(file).Span());
    ASSERT_TRUE(screen);
    std::vector<std::size_t> frameEnds;
    std::size_t offset = screen->FirstBlockOffset();
    while (const auto frame = NextGifFrame(file, offset)) frameEnds.push_back(frame->end);
    ASSERT_EQ(frameEnds.size(), 4u);

    for (std::size_t length = 0; length <= file.size(); ++length) {
        const Bytes prefix = Prefix(file, length);
        const auto whole = static_cast<std::size_t>(
            std::count_if(frameEnds.begin(), frameEnds.end(), [&](std::size_t end) {
                return end <= length;
            }));
        ASSERT_EQ(Count(prefix), whole) << "prefix of " << length << " bytes";
        ASSERT_EQ(SplitGifFrames(GuardedBytes(prefix).Span()).size(), whole);
    }
}

struct StreamCase {
    const char* name;
    Bytes data;
    std::size_t frames;
};

class GifStreamTest : public testing::TestWithParam<StreamCase> {};

TEST_P(GifStreamTest, CountsTheFramesThatCanBeRead) {
    EXPECT_EQ(Count(GetParam().data), GetParam().frames);
    EXPECT_EQ(SplitGifFrames(GuardedBytes(GetParam().data).Span()).size(), GetParam().frames);
}

Bytes WithLengthByte(Bytes data, std::size_t at, std::uint8_t value) {
    data[at] = value;
    return data;
}

const Bytes kTwoFrames = Concat({GifHeader(8, 8, 1), ControlExtension(2, 10), Image(0, 0, 4, 4),
                                 ControlExtension(3, 0), Image(4, 4, 4, 4, 0), {kTrailer}});
const std::size_t kHeaderLength = GifHeader(8, 8, 1).size();

INSTANTIATE_TEST_SUITE_P(
    Streams, GifStreamTest,
    testing::Values(
        StreamCase{"TwoFrames", kTwoFrames, 2},
        StreamCase{"NoGlobalTable", Concat({GifHeader(8, 8, -1), Image(0, 0, 8, 8, 2), {kTrailer}}), 1},
        StreamCase{"AnyVersionBytes",
                   Concat({GifHeader(8, 8, 0, "GIF00z"), Image(0, 0, 8, 8), {kTrailer}}), 1},
        StreamCase{"NotAGif", Concat({Bytes{'P', 'N', 'G'}, Bytes(20, 0)}), 0},
        StreamCase{"SignatureOnly", Bytes{'G', 'I', 'F'}, 0},
        StreamCase{"Empty", Bytes{}, 0},
        StreamCase{"GlobalTablePastTheEnd", Prefix(GifHeader(8, 8, 7), 100), 0},
        StreamCase{"MetadataOnly",
                   Concat({GifHeader(8, 8, 0), Application(), Comment("x"), {kTrailer}}), 0},
        StreamCase{"PlainTextIsAFrame",
                   Concat({GifHeader(8, 8, 0), ControlExtension(0, 1), PlainText(), PlainText(),
                           {kTrailer}}), 2},
        StreamCase{"ControlBeforeTheTrailer",
                   Concat({GifHeader(8, 8, 0), Image(0, 0, 1, 1), ControlExtension(0, 1),
                           {kTrailer}}), 1},
        StreamCase{"UnknownBlockStopsParsing",
                   Concat({GifHeader(8, 8, 0), Image(0, 0, 1, 1), Bytes{0x00},
                           Image(0, 0, 1, 1), {kTrailer}}), 1},
        StreamCase{"UnknownExtensionStopsParsing",
                   Concat({GifHeader(8, 8, 0), Image(0, 0, 1, 1), Bytes{0x21, 0x42, 0},
                           Image(0, 0, 1, 1), {kTrailer}}), 1},
        StreamCase{"ExtensionIntroducerAtTheEnd",
                   Concat({GifHeader(8, 8, 0), Image(0, 0, 1, 1), Bytes{0x21}}), 1},
        StreamCase{"SubBlockRunsPastTheEnd",
                   WithLengthByte(kTwoFrames, kTwoFrames.size() - 4, 0xFF), 1},
        StreamCase{"LocalTablePastTheEnd",
                   Concat({GifHeader(8, 8, 0), Image(0, 0, 1, 1),
                           Bytes{0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x87, 0, 0}}), 1},
        StreamCase{"NoTrailer", Prefix(kTwoFrames, kTwoFrames.size() - 1), 2},
        StreamCase{"CutInsideTheControlExtension", Prefix(kTwoFrames, kHeaderLength + 5), 0}),
    [](const testing::TestParamInfo<StreamCase>& info) { return std::string(info.param.name); });

TEST(GifFramesTest, AFrameHoldsItsControlExtensionAndWhatFollowsItUpToTheImage) {
    const Bytes control = ControlExtension(2, 7);
    const Bytes comment = Comment("between");
    const Bytes image = Image(1, 2, 3, 4, 0);
    const Bytes header = GifHeader(8, 8, 1);
    const Bytes data = Concat({header, Comment("before"), control, comment, image,
                               Comment("after"), {kTrailer}});
    const auto frames = SplitGifFrames(GuardedBytes(data).Span());
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].gif, Concat({header, control, comment, image, {kTrailer}}));
    EXPECT_EQ(frames[0].delay, 7u);
    EXPECT_EQ(frames[0].disposal, 2u);
    EXPECT_EQ(frames[0].left, 1);
    EXPECT_EQ(frames[0].top, 2);
    EXPECT_EQ(frames[0].width, 3);
    EXPECT_EQ(frames[0].height, 4);
}

TEST(GifFramesTest, AFrameWithoutControlExtensionHasNoDelayOrDisposal) {
    const Bytes data = Concat({GifHeader(8, 8, 0), ControlExtension(3, 50), Image(0, 0, 2, 2),
                               Image(2, 2, 2, 2), {kTrailer}});
    const auto frames = SplitGifFrames(GuardedBytes(data).Span());
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_TRUE(frames[0].hasControl);
    EXPECT_FALSE(frames[1].hasControl);
    EXPECT_EQ(frames[1].delay, 0u);
    EXPECT_EQ(frames[1].disposal, 0u);
}

TEST(GifFramesTest, ShortDelaysAreStretched) {
    const std::pair<unsigned, unsigned> cases[] = {{0, 100}, {4, 100}, {5, 50}, {20, 200},
                                                   {65535, 655350}};
    for (const auto& [hundredths, milliseconds] : cases) {
        EXPECT_EQ(GifFrameDelayMs(hundredths), milliseconds) << hundredths;
    }
}

}  // namespace
