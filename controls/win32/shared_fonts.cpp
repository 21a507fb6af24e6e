#include "controls/win32/shared_fonts.h"

#include "platform/win32/wide_text.h"

#include <vector>

namespace {

// Never destroyed: controls may hold them until the process ends.
std::vector<HFONT>& Fonts() {
    static std::vector<HFONT> fonts;
    return fonts;
}

int ScreenDotsPerInchY() {
    const HDC screen = ::GetDC(nullptr);
    const int dotsPerInch = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dotsPerInch;
}

HFONT MakeFont(const FontStyle& style, int dotsPerInch, const std::wstring& face) {
    return ::CreateFontW(-::MulDiv(style.points, dotsPerInch, 72), 0, 0, 0,
                         style.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_SWISS, face.c_str());
}

}  // namespace

void CreateFonts() {
    if (FontsCreated()) return;
    const int dotsPerInch = ScreenDotsPerInchY();
    const std::wstring face = Widen(kFontFace);
    for (const FontStyle& style : SharedFonts()) Fonts().push_back(MakeFont(style, dotsPerInch, face));
}

bool FontsCreated() { return !Fonts().empty(); }

HFONT SharedFont(FontStyle style) {
    const auto styles = SharedFonts();
    for (std::size_t k = 0; k < styles.size() && k < Fonts().size(); ++k)
        if (styles[k] == style) return Fonts()[k];
    return nullptr;
}
