#include "controls/win32/shared_fonts.h"

#include "platform/win32/wide_text.h"

#include <map>
#include <vector>

namespace {

using FontSet = std::vector<HFONT>;

// By resolution; never destroyed: controls may hold them until the process
// ends.
std::map<int, FontSet>& FontSets() {
    static std::map<int, FontSet> sets;
    return sets;
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

const FontSet& FontsAt(int dotsPerInch) {
    FontSet& fonts = FontSets()[dotsPerInch];
    if (fonts.empty()) {
        const std::wstring face = Widen(kFontFace);
        for (const FontStyle& style : SharedFonts())
            fonts.push_back(MakeFont(style, dotsPerInch, face));
    }
    return fonts;
}

HFONT Find(const FontSet& fonts, FontStyle style) {
    const auto styles = SharedFonts();
    for (std::size_t k = 0; k < styles.size() && k < fonts.size(); ++k)
        if (styles[k] == style) return fonts[k];
    return nullptr;
}

}  // namespace

void CreateFonts() { FontsAt(ScreenDotsPerInchY()); }

bool FontsCreated() { return FontSets().contains(ScreenDotsPerInchY()); }

HFONT SharedFont(FontStyle style) {
    const auto fonts = FontSets().find(ScreenDotsPerInchY());
    return fonts == FontSets().end() ? nullptr : Find(fonts->second, style);
}

HFONT SharedFont(FontStyle style, int dpi) { return Find(FontsAt(dpi), style); }
