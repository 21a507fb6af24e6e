#include "controls/win32/picture_ex.h"

#include "pictures/gif_frames.h"
#include "wizard/dpi_scale.h"

#include <commctrl.h>

namespace {

constexpr unsigned kRestoreBackground = 2;
constexpr unsigned kRestorePrevious = 3;
constexpr int kHimetricPerInch = 2540;

// Pictures are measured in hundredths of a millimetre; the screen's
// resolution turns that into pixels.
SIZE PixelSize(IPicture* picture) {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    HDC screen = GetDC(nullptr);
    const SIZE size{MulDiv(width, GetDeviceCaps(screen, LOGPIXELSX), kHimetricPerInch),
                    MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), kHimetricPerInch)};
    ReleaseDC(nullptr, screen);
    return size;
}

IPicture* LoadPicture(HGLOBAL memory, DWORD size) {
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, FALSE, &stream))) return nullptr;
    IPicture* picture = nullptr;
    if (FAILED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&picture)))) {
        picture = nullptr;
    }
    stream->Release();
    return picture;
}

IPicture* LoadPicture(const std::vector<std::uint8_t>& bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, bytes.size());
    if (!memory) return nullptr;
    IPicture* picture = nullptr;
    if (void* target = GlobalLock(memory)) {
        CopyMemory(target, bytes.data(), bytes.size());
        GlobalUnlock(memory);
        picture = LoadPicture(memory, static_cast<DWORD>(bytes.size()));
    }
    GlobalFree(memory);
    return picture;
}

// Draws `area` of a picture of `pictureSize` pixels into the same area of
// `target`. Pictures are stored bottom up, hence the negative height.
void RenderPart(IPicture* picture, SIZE pictureSize, HDC target, const RECT& area) {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    if (pictureSize.cx <= 0 || pictureSize.cy <= 0) return;
    const LONG left = MulDiv(area.left, width, pictureSize.cx);
    const LONG top = MulDiv(area.top, height, pictureSize.cy);
    const LONG right = MulDiv(area.right, width, pictureSize.cx);
    const LONG bottom = MulDiv(area.bottom, height, pictureSize.cy);
    picture->Render(target, area.left, area.top, area.right - area.left, area.bottom - area.top,
                    left, height - top, right - left, -(bottom - top), nullptr);
}

void Render(IPicture* picture, HDC target, int x, int y, SIZE size) {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    picture->Render(target, x, y, size.cx, size.cy, 0, height, width, -height, nullptr);
}

RECT AreaOf(const CPictureEx::Frame& frame) {
    return RECT{frame.left, frame.top, frame.left + frame.width, frame.top + frame.height};
}

void DeleteMemoryDc(HDC& dc, HBITMAP& bitmap, HGDIOBJ& old) {
    if (dc) {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    if (bitmap) DeleteObject(bitmap);
    dc = nullptr;
    bitmap = nullptr;
    old = nullptr;
}

bool CreateMemoryDc(HDC like, SIZE size, HDC& dc, HBITMAP& bitmap, HGDIOBJ& old) {
    dc = CreateCompatibleDC(like);
    bitmap = CreateCompatibleBitmap(like, size.cx, size.cy);
    if (!dc || !bitmap) {
        DeleteMemoryDc(dc, bitmap, old);
        return false;
    }
    old = SelectObject(dc, bitmap);
    return true;
}

}  // namespace

CPictureEx::CPictureEx(HWND window)
    : window(window), exitEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    SetWindowSubclass(window, WindowProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

CPictureEx::~CPictureEx() {
    Clear();
    if (window) RemoveWindowSubclass(window, WindowProc, 0);
    if (exitEvent) CloseHandle(exitEvent);
}

bool CPictureEx::LoadFromResource(int number, const wchar_t* type) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(number), type);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return false;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, size);
    if (!memory) return false;
    bool result = false;
    if (void* target = GlobalLock(memory)) {
        CopyMemory(target, bytes, size);
        GlobalUnlock(memory);
        result = LoadFromMemory(memory, size);
    }
    GlobalFree(memory);
    return result;
}

bool CPictureEx::LoadFromMemory(HGLOBAL memory, DWORD size) {
    Clear();
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(memory));
    if (!bytes) return false;
    const GifBytes data(bytes, size);
    bool loaded = false;
    if (!StartsWithGifSignature(data)) {
        loaded = LoadStill(memory, size);
    } else if (const auto screen = ReadGifScreen(data)) {
        isGif = true;
        const std::size_t count = CountGifFrames(data);
        if (count == 1) {
            loaded = LoadStill(memory, size);
        } else if (count > 1) {
            loaded = LoadFrames(bytes, size);
        }
        pictureSize = SIZE{screen->width, screen->height};  // the logical screen, always
    }
    GlobalUnlock(memory);
    return loaded && CreateCanvas();
}

bool CPictureEx::LoadStill(HGLOBAL memory, DWORD size) {
    still = LoadPicture(memory, size);
    if (!still) return false;
    pictureSize = PixelSize(still);
    return true;
}

// Frames that do not decode are left out of the animation.
bool CPictureEx::LoadFrames(const BYTE* data, DWORD size) {
    for (const GifFrame& split : SplitGifFrames(GifBytes(data, size))) {
        IPicture* picture = LoadPicture(split.gif);
        if (!picture) continue;
        frames.push_back(Frame{picture, PixelSize(picture), split.left, split.top, split.width,
                               split.height, split.delay, split.disposal, split.hasControl});
    }
    return !frames.empty();
}

bool CPictureEx::CreateCanvas() {
    if (pictureSize.cx <= 0 || pictureSize.cy <= 0) return false;
    const SIZE shown = DisplaySize();
    SetWindowPos(window, nullptr, 0, 0, shown.cx, shown.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HDC screen = GetDC(window);
    std::lock_guard lock(canvasLock);
    const bool made = CreateMemoryDc(screen, pictureSize, canvas, canvasBitmap, canvasOldBitmap);
    ReleaseDC(window, screen);
    if (!made) return false;
    background = GetSysColor(COLOR_BTNFACE);
    const RECT whole{0, 0, pictureSize.cx, pictureSize.cy};
    FillRect(canvas, &whole, reinterpret_cast<HBRUSH>(COLOR_MENU + 1));
    canvasReady = true;
    return true;
}

bool CPictureEx::Show() {
    if (!canvasReady) return false;
    if (isGif && frames.size() > 1) {
        if (!animation.joinable()) {
            exitRequested = false;
            playing = true;
            animation = std::thread([this] { Animate(); });
        }
        return false;
    }
    if (!still) return false;
    {
        std::lock_guard lock(canvasLock);
        Render(still, canvas, 0, 0, pictureSize);
    }
    InvalidateRect(window, nullptr, FALSE);
    return true;
}

void CPictureEx::Animate() {
    playing = true;
    {
        std::lock_guard lock(canvasLock);
        DisposeCurrentFrame();  // it may still show from before a stop
    }
    {
        std::lock_guard lock(canvasLock);
        DrawCurrentFrame();
    }
    while (!exitRequested) {
        InvalidateRect(window, nullptr, FALSE);
        WaitForSingleObject(exitEvent, GifFrameDelayMs(frames[currentFrame].delay));
        if (exitRequested) break;
        // One step under the lock: whoever sees the new frame number sees
        // the frame drawn.
        std::lock_guard lock(canvasLock);
        DisposeCurrentFrame();
        NextFrame();
        DrawCurrentFrame();
    }
    playing = false;
}

void CPictureEx::DrawCurrentFrame() {
    const Frame& frame = frames[currentFrame];
    const RECT area = AreaOf(frame);
    if (frame.disposal == kRestorePrevious) {
        DeleteMemoryDc(saved, savedBitmap, savedOldBitmap);
        if (CreateMemoryDc(canvas, SIZE{frame.width, frame.height}, saved, savedBitmap,
                           savedOldBitmap)) {
            BitBlt(saved, 0, 0, frame.width, frame.height, canvas, frame.left, frame.top, SRCCOPY);
        }
    }
    // A decoder may give the frame on its logical screen; only the frame's
    // own rectangle is ours to draw.
    if (frame.size.cx == frame.width && frame.size.cy == frame.height) {
        Render(frame.picture, canvas, frame.left, frame.top, frame.size);
    } else {
        RenderPart(frame.picture, frame.size, canvas, area);
    }
}

void CPictureEx::DisposeCurrentFrame() {
    const Frame& frame = frames[currentFrame];
    if (frame.disposal == kRestoreBackground) {
        FillCanvas(AreaOf(frame), background);
    } else if (frame.disposal == kRestorePrevious && saved) {
        BitBlt(canvas, frame.left, frame.top, frame.width, frame.height, saved, 0, 0, SRCCOPY);
        DeleteMemoryDc(saved, savedBitmap, savedOldBitmap);
    }
}

void CPictureEx::NextFrame() {
    if (++currentFrame < frames.size()) return;
    currentFrame = 0;
    FillCanvas(RECT{0, 0, pictureSize.cx, pictureSize.cy}, background);
}

void CPictureEx::FillCanvas(const RECT& area, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(canvas, &area, brush);
    DeleteObject(brush);
}

void CPictureEx::StopAnimation() {
    playing = false;
    if (!animation.joinable()) return;
    exitRequested = true;
    SetEvent(exitEvent);
    // The thread never waits on the window's thread, so it ends within a
    // frame's drawing.
    animation.join();
    ResetEvent(exitEvent);
    exitRequested = false;
}

void CPictureEx::Clear() {
    StopAnimation();
    if (still) still->Release();
    still = nullptr;
    for (Frame& frame : frames) frame.picture->Release();
    frames.clear();
    {
        std::lock_guard lock(canvasLock);
        DeleteMemoryDc(canvas, canvasBitmap, canvasOldBitmap);
        DeleteMemoryDc(saved, savedBitmap, savedOldBitmap);
    }
    pictureSize = SIZE{0, 0};
    currentFrame = 0;
    isGif = false;
    canvasReady = false;
    background = RGB(255, 255, 255);
}

void CPictureEx::SetDpi(int newDpi) {
    dpi = newDpi;
    if (!canvasReady) return;
    const SIZE shown = DisplaySize();
    SetWindowPos(window, nullptr, 0, 0, shown.cx, shown.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, FALSE);
}

SIZE CPictureEx::DisplaySize() const {
    return SIZE{ScaleToDpi(static_cast<int>(pictureSize.cx), dpi),
                ScaleToDpi(static_cast<int>(pictureSize.cy), dpi)};
}

COLORREF CPictureEx::CanvasPixel(int x, int y) {
    std::lock_guard lock(canvasLock);
    return canvas ? GetPixel(canvas, x, y) : CLR_INVALID;
}

void CPictureEx::Paint() {
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    {
        std::lock_guard lock(canvasLock);
        if (canvasReady && canvas) {
            const SIZE shown = DisplaySize();
            if (shown.cx == pictureSize.cx && shown.cy == pictureSize.cy) {
                BitBlt(target, 0, 0, pictureSize.cx, pictureSize.cy, canvas, 0, 0, SRCCOPY);
            } else {
                // Averaged, not dropped or doubled pixels: the photos stay smooth.
                SetStretchBltMode(target, HALFTONE);
                SetBrushOrgEx(target, 0, 0, nullptr);
                StretchBlt(target, 0, 0, shown.cx, shown.cy, canvas, 0, 0, pictureSize.cx,
                           pictureSize.cy, SRCCOPY);
            }
        }
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK CPictureEx::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR, DWORD_PTR self) {
    auto* picture = reinterpret_cast<CPictureEx*>(self);
    switch (message) {
    case WM_PAINT:
        picture->Paint();
        return 0;
    case WM_DESTROY:
        picture->StopAnimation();
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, WindowProc, 0);
        picture->window = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}
