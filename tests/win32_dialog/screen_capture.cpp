#include "screen_capture.h"

#include <wincodec.h>

#include <algorithm>

namespace {

unsigned Red(std::uint32_t pixel) { return pixel >> 16 & 0xFF; }
unsigned Green(std::uint32_t pixel) { return pixel >> 8 & 0xFF; }
unsigned Blue(std::uint32_t pixel) { return pixel & 0xFF; }

// Releases a COM object at the end of the scope.
template <class Interface>
struct Held {
    Interface* object = nullptr;
    ~Held()
    {
        if (object)
            object->Release();
    }
    Interface** operator&() { return &object; }
    Interface* operator->() const { return object; }
};

}  // namespace

int Picture::Count(const RECT& area, bool (*wanted)(std::uint32_t)) const
{
    int count = 0;
    for (int y = std::max(0L, area.top); y < std::min<long>(height, area.bottom); ++y)
        for (int x = std::max(0L, area.left); x < std::min<long>(width, area.right); ++x)
            count += wanted(At(x, y)) ? 1 : 0;
    return count;
}

Picture CaptureClient(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    Picture picture;
    picture.width = client.right;
    picture.height = client.bottom;
    picture.pixels.resize(static_cast<std::size_t>(picture.width * picture.height));
    const HDC screen = GetDC(window);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, picture.width, picture.height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = picture.width;
    format.bmiHeader.biHeight = -picture.height;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(picture.height), picture.pixels.data(), &format,
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    for (std::uint32_t& pixel : picture.pixels)
        pixel &= 0xFFFFFF;
    return picture;
}

bool SavePng(const Picture& picture, const std::filesystem::path& path)
{
    Held<IWICImagingFactory> factory;
    Held<IWICStream> stream;
    Held<IWICBitmapEncoder> encoder;
    Held<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    const UINT stride = static_cast<UINT>(picture.width) * 4;
    const UINT size = stride * static_cast<UINT>(picture.height);
    auto* bytes = reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(picture.pixels.data()));
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&factory))) &&
           SUCCEEDED(factory->CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
           SUCCEEDED(encoder->Initialize(stream.object, WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
           SUCCEEDED(frame->Initialize(nullptr)) &&
           SUCCEEDED(frame->SetSize(static_cast<UINT>(picture.width),
                                    static_cast<UINT>(picture.height))) &&
           SUCCEEDED(frame->SetPixelFormat(&format)) &&
           SUCCEEDED(frame->WritePixels(static_cast<UINT>(picture.height), stride, size, bytes)) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

bool IsGreen(std::uint32_t pixel)
{
    return Green(pixel) > 100 && Red(pixel) < 60 && Blue(pixel) < 60;
}

bool IsRed(std::uint32_t pixel) { return Red(pixel) > 200 && Green(pixel) < 60 && Blue(pixel) < 60; }
