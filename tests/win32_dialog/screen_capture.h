#pragma once
// Pictures of a window as the screen shows it, for people to look at and for
// tests that count colored pixels. Saved as PNG by the system's imaging
// component.

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    // How many pixels of the rectangle the predicate picks.
    int Count(const RECT& area, bool (*wanted)(std::uint32_t pixel)) const;
};

// The client area of `window`.
Picture CaptureClient(HWND window);

bool SavePng(const Picture& picture, const std::filesystem::path& path);

bool IsGreen(std::uint32_t pixel);
bool IsRed(std::uint32_t pixel);
