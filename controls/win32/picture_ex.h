#pragma once
// A picture from the program's resources in a static child window: a still
// image, or an animated GIF played frame by frame with each frame's delay
// and disposal method on a thread of its own. The control draws into a
// canvas (a memory bitmap) of the picture's size and copies it to the
// window when painted.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

class CPictureEx {
public:
    struct Frame {
        IPicture* picture = nullptr;  // the decoded one-frame GIF, owned
        SIZE size = {0, 0};           // the decoded picture's own size, pixels
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        unsigned delay = 0;  // hundredths of a second
        unsigned disposal = 0;
        bool hasControl = false;
    };

    // Takes over painting and destruction of `window`, a static control.
    explicit CPictureEx(HWND window);
    ~CPictureEx();
    CPictureEx(const CPictureEx&) = delete;
    CPictureEx& operator=(const CPictureEx&) = delete;

    // The resource of that number and type in the program's module.
    bool LoadFromResource(int number, const wchar_t* type = L"GIF");
    // On success the window has the picture's size and the canvas exists.
    // `memory` stays the caller's.
    bool LoadFromMemory(HGLOBAL memory, DWORD size);
    // Starts the animation of a GIF with several frames (false), otherwise
    // draws the still picture (true when it was drawn).
    bool Show();
    // Pauses at the frame showing; the next Show resumes there.
    void StopAnimation();
    // Back to empty: no picture, no frames, no canvas.
    void Clear();
    // Shows the picture at `dpi` dots per inch: the window takes the
    // picture's size scaled from 96 DPI and the canvas is stretched into it,
    // so that the picture keeps its place among controls scaled alike.
    void SetDpi(int dpi);

    HWND Window() const { return window; }
    const std::vector<Frame>& Frames() const { return frames; }
    SIZE PictureSize() const { return pictureSize; }
    // The picture's size on the screen at the DPI last set.
    SIZE DisplaySize() const;
    COLORREF BackgroundColor() const { return background; }
    unsigned CurrentFrame() const { return currentFrame; }
    bool IsGif() const { return isGif; }
    bool IsPlaying() const { return playing; }
    bool CanvasReady() const { return canvasReady; }
    // What the canvas shows at that point; CLR_INVALID without a canvas.
    COLORREF CanvasPixel(int x, int y);

private:
    bool LoadStill(HGLOBAL memory, DWORD size);
    bool LoadFrames(const BYTE* data, DWORD size);
    bool CreateCanvas();
    void Animate();
    void DrawCurrentFrame();
    void DisposeCurrentFrame();
    void NextFrame();
    void FillCanvas(const RECT& area, COLORREF color);
    void Paint();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR self);

    HWND window;
    SIZE pictureSize = {0, 0};
    COLORREF background = RGB(255, 255, 255);
    std::atomic<unsigned> currentFrame = 0;
    bool isGif = false;
    std::atomic<bool> playing = false;
    std::atomic<bool> exitRequested = false;
    bool canvasReady = false;
    int dpi = 96;
    IPicture* still = nullptr;
    std::vector<Frame> frames;

    // The animation thread draws on the canvas while the window's thread
    // copies it to the screen.
    std::mutex canvasLock;
    HDC canvas = nullptr;
    HBITMAP canvasBitmap = nullptr;
    HGDIOBJ canvasOldBitmap = nullptr;
    HDC saved = nullptr;  // what lay under a frame that asks to be undone
    HBITMAP savedBitmap = nullptr;
    HGDIOBJ savedOldBitmap = nullptr;

    HANDLE exitEvent;  // manual reset: wakes the thread from a frame's delay
    std::thread animation;
};
