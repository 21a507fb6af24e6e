// The Windows picture control in real windows under wine: the pages'
// pictures from the program's resources, other formats, and an animation
// played frame by frame with its disposal methods.

#include "controls/win32/control_factories.h"
#include "controls/win32/picture_entry.h"

#include "wizard/page_tables.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr int kAnimationResource = 900;  // tests/controls/data/animated.gif
// Generous: the frames take 50 to 200 ms, a busy machine may take longer.
constexpr auto kWait = 10s;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 170, 0);

class Dialog {
public:
    Dialog()
        : window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 640, 540, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr)) {}
    ~Dialog() { DestroyWindow(window); }
    HWND window;
};

std::vector<BYTE> ResourceBytes(int number) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(number), L"GIF");
    if (!found) return {};
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    return std::vector<BYTE>(bytes, bytes + SizeofResource(nullptr, found));
}

bool LoadBytes(CPictureEx& picture, const std::vector<BYTE>& bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    const bool loaded = picture.LoadFromMemory(memory, static_cast<DWORD>(bytes.size()));
    GlobalFree(memory);
    return loaded;
}

// A bottom-up 24-bit BMP file of one color.
std::vector<BYTE> Bitmap(int width, int height, COLORREF color) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::vector<BYTE> out(file.bfSize, 0);
    std::memcpy(out.data(), &file, sizeof file);
    std::memcpy(out.data() + sizeof file, &info, sizeof info);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            BYTE* pixel = out.data() + file.bfOffBits + y * stride + x * 3;
            pixel[0] = GetBValue(color);
            pixel[1] = GetGValue(color);
            pixel[2] = GetRValue(color);
        }
    }
    return out;
}

SIZE WindowSize(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

bool operator==(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

TEST(PictureExTest, EveryPagePictureLoadsAtItsSizeAndShowsStill) {
    Dialog dialog;
    for (const PictureResource& resource : PictureResources()) {
        SCOPED_TRACE(resource.number);
        const auto entry = CreatePicture(dialog.window, resource.number);
        auto& picture = *dynamic_cast<PictureEntry&>(*entry).picture;
        const SIZE expected{resource.pixels.width, resource.pixels.height};
        EXPECT_TRUE(picture.IsGif());
        EXPECT_TRUE(picture.CanvasReady());
        EXPECT_TRUE(picture.Frames().empty());
        EXPECT_TRUE(picture.PictureSize() == expected);
        EXPECT_TRUE(WindowSize(entry->window) == expected);
        EXPECT_FALSE(picture.IsPlaying());
        EXPECT_TRUE(picture.Show());  // drawn again: a still picture is no animation
        EXPECT_FALSE(picture.IsPlaying());
    }
}

TEST(PictureFactoryTest, MakesAHiddenStaticWindowAndTheEntryOfTheKind) {
    Dialog dialog;
    const auto entry = CreatePicture(dialog.window, 999);  // no such picture: stays empty
    const KindTraits& traits = TraitsOf(ControlKind::picture);
    ASSERT_NE(entry->window, nullptr);
    EXPECT_EQ(static_cast<std::uint32_t>(GetWindowLongW(entry->window, GWL_STYLE)), traits.style);
    EXPECT_EQ(GetDlgCtrlID(entry->window), kUnnumberedIdentifier);
    EXPECT_TRUE(WindowSize(entry->window) == (SIZE{traits.window.width, traits.window.height}));
    EXPECT_EQ(entry->width, traits.entry.width);
    EXPECT_EQ(entry->height, traits.entry.height);
    EXPECT_EQ(entry->font, nullptr);
    EXPECT_FALSE(dynamic_cast<PictureEntry&>(*entry).picture->CanvasReady());
}

TEST(PictureExTest, OtherFormatsTakeTheStillRouteAndArePainted) {
    Dialog dialog;
    const auto entry = CreatePicture(dialog.window, 999);
    auto& picture = *dynamic_cast<PictureEntry&>(*entry).picture;
    ASSERT_TRUE(LoadBytes(picture, Bitmap(30, 20, kBlue)));
    EXPECT_FALSE(picture.IsGif());
    EXPECT_TRUE(picture.PictureSize() == (SIZE{30, 20}));
    EXPECT_TRUE(picture.Show());
    EXPECT_EQ(picture.CanvasPixel(29, 19), kBlue);
    EXPECT_EQ(picture.CanvasPixel(0, 0), kBlue);

    ShowWindow(dialog.window, SW_SHOWNOACTIVATE);
    ShowWindow(entry->window, SW_SHOWNOACTIVATE);
    UpdateWindow(entry->window);
    HDC screen = GetDC(entry->window);
    EXPECT_EQ(GetPixel(screen, 15, 10), kBlue);
    ReleaseDC(entry->window, screen);
}

TEST(PictureExTest, RefusesWhatItCannotShow) {
    const std::string texts[] = {"GIF89a but nothing of a GIF after the signature", "GIF",
                                 "not a picture at all"};
    std::vector<std::vector<BYTE>> cases;
    for (const std::string& text : texts) cases.emplace_back(text.begin(), text.end());
    const auto animation = ResourceBytes(kAnimationResource);
    cases.emplace_back(animation.begin(), animation.begin() + 14);
    Dialog dialog;
    const auto entry = CreatePicture(dialog.window, 999);
    auto& picture = *dynamic_cast<PictureEntry&>(*entry).picture;
    for (const auto& data : cases) {
        SCOPED_TRACE(std::string(data.begin(), data.end()));
        EXPECT_FALSE(LoadBytes(picture, data));
        EXPECT_FALSE(picture.CanvasReady());
        EXPECT_FALSE(picture.Show());
    }
    EXPECT_FALSE(picture.LoadFromResource(kAnimationResource, L"PNG"));
}

class AnimationTest : public testing::Test {
protected:
    void SetUp() override {
        entry = CreatePicture(dialog.window, kAnimationResource);
        picture = dynamic_cast<PictureEntry&>(*entry).picture.get();
        ASSERT_TRUE(picture->CanvasReady());
        unused = picture->CanvasPixel(39, 29);  // no frame ever covers it
        EXPECT_FALSE(picture->Show());
        EXPECT_TRUE(picture->IsPlaying());
    }

    // Stops the animation while `frame` shows, whatever the machine's load
    // does to the moment the test looks; the canvas then stays as it is.
    bool StopAt(unsigned frame) {
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        while (std::chrono::steady_clock::now() < deadline) {
            if (picture->CurrentFrame() == frame) {
                picture->StopAnimation();
                if (picture->CurrentFrame() == frame) return true;
                picture->Show();
            }
            std::this_thread::sleep_for(2ms);
        }
        return false;
    }

    COLORREF Pixel(int x, int y) { return picture->CanvasPixel(x, y); }

    Dialog dialog;
    std::unique_ptr<LoaderControl> entry;
    CPictureEx* picture = nullptr;
    COLORREF unused = 0;
};

TEST_F(AnimationTest, TakesTheAnimationApartIntoItsFrames) {
    EXPECT_TRUE(picture->PictureSize() == (SIZE{40, 30}));
    const struct {
        RECT area;
        unsigned delay, disposal;
    } expected[] = {{{0, 0, 40, 15}, 5, 1}, {{5, 5, 15, 15}, 0, 2},
                    {{20, 10, 32, 18}, 20, 3}, {{2, 20, 10, 28}, 4, 0}};
    const auto& frames = picture->Frames();
    ASSERT_EQ(frames.size(), std::size(expected));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& frame = frames[i];
        EXPECT_EQ(frame.left, expected[i].area.left);
        EXPECT_EQ(frame.top, expected[i].area.top);
        EXPECT_EQ(frame.left + frame.width, expected[i].area.right);
        EXPECT_EQ(frame.top + frame.height, expected[i].area.bottom);
        EXPECT_EQ(frame.delay, expected[i].delay);
        EXPECT_EQ(frame.disposal, expected[i].disposal);
    }
}

TEST_F(AnimationTest, PlaysTheFramesWithTheirDisposalMethods) {
    ASSERT_TRUE(StopAt(0));
    EXPECT_EQ(Pixel(10, 10), kWhite);
    EXPECT_EQ(Pixel(10, 20), unused);
    picture->Show();

    ASSERT_TRUE(StopAt(1));
    EXPECT_EQ(Pixel(6, 6), kRed);
    EXPECT_EQ(Pixel(30, 5), kWhite);  // frame 0 stays (method 1)
    picture->Show();

    ASSERT_TRUE(StopAt(2));
    // Frame 1 asked for its area to be cleared to the background.
    EXPECT_EQ(Pixel(6, 6), picture->BackgroundColor());
    EXPECT_EQ(Pixel(21, 11), kCyan);
    EXPECT_EQ(Pixel(25, 16), kBlue);
    picture->Show();

    ASSERT_TRUE(StopAt(3));
    // Frame 2 asked for what lay under it: white above row 15, the canvas's
    // first fill below.
    EXPECT_EQ(Pixel(25, 12), kWhite);
    EXPECT_EQ(Pixel(25, 16), unused);
    EXPECT_EQ(Pixel(3, 21), kGreen);
    picture->Show();

    // A new round starts on a canvas cleared to the background.
    ASSERT_TRUE(StopAt(0));
    EXPECT_EQ(Pixel(3, 21), picture->BackgroundColor());
    EXPECT_EQ(Pixel(10, 10), kWhite);
}

TEST_F(AnimationTest, StopsAtTheFrameShowingAndResumesThere) {
    ASSERT_TRUE(StopAt(2));
    EXPECT_FALSE(picture->IsPlaying());
    const COLORREF atStop[] = {Pixel(6, 6), Pixel(21, 11), Pixel(25, 16)};
    std::this_thread::sleep_for(400ms);  // longer than frame 2's delay: nothing may move
    EXPECT_EQ(picture->CurrentFrame(), 2u);

    // Resuming undoes frame 2 and draws it again: the same picture.
    EXPECT_FALSE(picture->Show());
    EXPECT_TRUE(picture->IsPlaying());
    ASSERT_TRUE(StopAt(2));
    EXPECT_EQ(Pixel(6, 6), atStop[0]);
    EXPECT_EQ(Pixel(21, 11), atStop[1]);
    EXPECT_EQ(Pixel(25, 16), atStop[2]);
}

TEST_F(AnimationTest, ClearingEmptiesTheControl) {
    picture->Clear();
    EXPECT_FALSE(picture->IsPlaying());
    EXPECT_FALSE(picture->CanvasReady());
    EXPECT_TRUE(picture->Frames().empty());
    EXPECT_EQ(picture->BackgroundColor(), kWhite);
    EXPECT_FALSE(picture->Show());
}

TEST_F(AnimationTest, DestroyingTheWindowEndsTheAnimation) {
    DestroyWindow(entry->window);
    EXPECT_FALSE(picture->IsPlaying());
    EXPECT_EQ(picture->Window(), nullptr);
}

}  // namespace
