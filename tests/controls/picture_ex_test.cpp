// The picture control: still pictures, and an animation played frame by
// frame with its delays and disposal methods.

#include "controls/picture_ex.h"

#include "guarded_bytes.h"
#include "widget_pixels.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kWait = 5000;  // generous; the frames take 50 to 200 ms

QByteArray Animation() {
    const auto bytes = ReadTestData("animated.gif");
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()));
}

QByteArray Resource(int number) {
    QFile file(QStringLiteral(":/pictures/%1.gif").arg(number));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

QColor Pixel(const CPictureEx& picture, int x, int y) {
    return picture.Canvas().pixelColor(x, y).toRgb();
}

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kCyan(0, 255, 255);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 170, 0);

bool WaitForFrame(CPictureEx& picture, unsigned frame) {
    return QTest::qWaitFor([&] { return picture.CurrentFrame() == frame; }, kWait);
}

TEST(PictureExTest, ASingleFrameGifIsAStillPicture) {
    CPictureEx picture;
    ASSERT_TRUE(picture.LoadFromMemory(Resource(139)));
    EXPECT_TRUE(picture.IsGif());
    EXPECT_TRUE(picture.Frames().empty());
    EXPECT_EQ(picture.size(), QSize(634, 66));
    EXPECT_TRUE(picture.Show());
    EXPECT_FALSE(picture.IsPlaying());
    QImage expected;
    ASSERT_TRUE(expected.loadFromData(Resource(139)));
    EXPECT_EQ(picture.Canvas().convertToFormat(QImage::Format_RGB32),
              expected.convertToFormat(QImage::Format_RGB32));
    // Painting copies the canvas as it is.
    EXPECT_EQ(picture.grab().toImage().convertToFormat(QImage::Format_RGB32),
              expected.convertToFormat(QImage::Format_RGB32));
}

TEST(PictureExTest, OtherFormatsTakeTheStillRoute) {
    QImage source(30, 20, QImage::Format_RGB32);
    source.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(source.save(&buffer, "PNG"));
    CPictureEx picture;
    ASSERT_TRUE(picture.LoadFromMemory(png));
    EXPECT_FALSE(picture.IsGif());
    EXPECT_EQ(picture.PictureSize(), QSize(30, 20));
    EXPECT_TRUE(picture.Show());
    EXPECT_EQ(Pixel(picture, 29, 19), kBlue);
}

TEST(PictureExTest, RefusesWhatItCannotShow) {
    const QByteArray cases[] = {
        QByteArray("GIF89a but nothing of a GIF after the signature"),
        QByteArray("GIF"),
        QByteArray("not a picture at all"),
        QByteArray(),
        Animation().left(14),
    };
    for (const QByteArray& data : cases) {
        CPictureEx picture;
        EXPECT_FALSE(picture.LoadFromMemory(data)) << data.constData();
        EXPECT_FALSE(picture.CanvasReady());
        EXPECT_FALSE(picture.Show());
    }
    CPictureEx picture;
    EXPECT_FALSE(picture.LoadFromResource(999));
}

TEST(PictureExTest, TakesTheAnimationApartIntoItsFrames) {
    CPictureEx picture;
    ASSERT_TRUE(picture.LoadFromMemory(Animation()));
    EXPECT_EQ(picture.size(), QSize(40, 30));
    const auto& frames = picture.Frames();
    ASSERT_EQ(frames.size(), 4u);
    const struct {
        QRect area;
        unsigned delay, disposal;
    } expected[] = {{{0, 0, 40, 15}, 5, 1}, {{5, 5, 10, 10}, 0, 2},
                    {{20, 10, 12, 8}, 20, 3}, {{2, 20, 8, 8}, 4, 0}};
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(QRect(frames[i].left, frames[i].top, frames[i].width, frames[i].height),
                  expected[i].area);
        EXPECT_EQ(frames[i].delay, expected[i].delay);
        EXPECT_EQ(frames[i].disposal, expected[i].disposal);
        EXPECT_FALSE(frames[i].picture.isNull());
    }
}

class AnimationTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(picture.LoadFromMemory(Animation()));
        unused = Pixel(picture, 39, 29);  // nothing is ever drawn there
        EXPECT_FALSE(picture.Show());
        EXPECT_TRUE(picture.IsPlaying());
    }
    CPictureEx picture;
    QColor unused;
};

TEST_F(AnimationTest, PlaysTheFramesWithTheirDisposalMethods) {
    EXPECT_EQ(picture.CurrentFrame(), 0u);
    EXPECT_EQ(Pixel(picture, 10, 10), kWhite);
    EXPECT_EQ(Pixel(picture, 10, 20), unused);

    ASSERT_TRUE(WaitForFrame(picture, 1));
    EXPECT_EQ(Pixel(picture, 6, 6), kRed);
    EXPECT_EQ(Pixel(picture, 30, 5), kWhite);  // frame 0 stays (method 1)

    ASSERT_TRUE(WaitForFrame(picture, 2));
    // Frame 1 asked for its area to be cleared to the background.
    EXPECT_EQ(Pixel(picture, 6, 6), picture.BackgroundColor());
    EXPECT_EQ(Pixel(picture, 21, 11), kCyan);
    EXPECT_EQ(Pixel(picture, 25, 16), kBlue);

    ASSERT_TRUE(WaitForFrame(picture, 3));
    // Frame 2 asked for what lay under it: white above row 15, the canvas's
    // first fill below.
    EXPECT_EQ(Pixel(picture, 25, 12), kWhite);
    EXPECT_EQ(Pixel(picture, 25, 16), unused);
    EXPECT_EQ(Pixel(picture, 3, 21), kGreen);
    EXPECT_EQ(Pixel(picture, 6, 6), picture.BackgroundColor());

    // A new round starts on a canvas cleared to the background.
    ASSERT_TRUE(WaitForFrame(picture, 0));
    EXPECT_EQ(Pixel(picture, 3, 21), picture.BackgroundColor());
    EXPECT_EQ(Pixel(picture, 10, 10), kWhite);
}

TEST_F(AnimationTest, StopsAtTheFrameShowingAndResumesThere) {
    ASSERT_TRUE(WaitForFrame(picture, 2));
    picture.StopAnimation();
    EXPECT_FALSE(picture.IsPlaying());
    const QImage atStop = picture.Canvas().copy();
    QTest::qWait(400);  // longer than frame 2's delay: nothing may move
    EXPECT_EQ(picture.CurrentFrame(), 2u);
    EXPECT_EQ(picture.Canvas(), atStop);

    // Resuming undoes frame 2 and draws it again: the same picture.
    EXPECT_FALSE(picture.Show());
    EXPECT_TRUE(picture.IsPlaying());
    EXPECT_EQ(picture.CurrentFrame(), 2u);
    EXPECT_EQ(picture.Canvas(), atStop);
    ASSERT_TRUE(WaitForFrame(picture, 3));
    EXPECT_EQ(Pixel(picture, 25, 12), kWhite);
}

TEST_F(AnimationTest, ClearingEmptiesTheControl) {
    picture.Clear();
    EXPECT_FALSE(picture.IsPlaying());
    EXPECT_FALSE(picture.CanvasReady());
    EXPECT_TRUE(picture.Frames().empty());
    EXPECT_EQ(picture.BackgroundColor(), kWhite);
    EXPECT_FALSE(picture.Show());
}

TEST(PictureExTest, ATruncatedAnimationPlaysTheFramesItHolds) {
    const QByteArray whole = Animation();
    // Cut inside frame 2's image data.
    const QByteArray cut = whole.left(0xE8);
    CPictureEx picture;
    ASSERT_TRUE(picture.LoadFromMemory(cut));
    EXPECT_EQ(picture.Frames().size(), 2u);
    picture.Show();
    EXPECT_TRUE(WaitForFrame(picture, 1));
    EXPECT_TRUE(WaitForFrame(picture, 0));
}

}  // namespace
