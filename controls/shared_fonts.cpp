#include "controls/shared_fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

#include <array>

namespace {

struct FontStyle {
    int points;
    bool bold;
};

constexpr std::array<FontStyle, 10> kFontStyles{{
    {8, false}, {10, false}, {11, false}, {12, false}, {14, false},
    {8, true}, {10, true}, {11, true}, {12, true}, {14, true},
}};

constexpr char kFace[] = "Tahoma";

// Where Debian's fonts-wine puts its Tahoma-metric face; fontconfig does not
// look there, so the application loads it itself. Its bold file is drawn no
// heavier than the regular one, so bold is left to the font engine, which
// emboldens the regular outlines.
constexpr std::array<const char*, 1> kBundledFaceFiles{
    "/usr/share/wine/fonts/tahoma.ttf",
};

constexpr std::array<const char*, 4> kFallbackFaces{
    "DejaVu Sans Condensed", "DejaVu Sans", "Liberation Sans", "Arial",
};

// Kept until the process ends: destroying fonts after the application
// object is gone would touch the toolkit's font cache too late.
std::array<QFont*, 10>& Fonts() {
    static std::array<QFont*, 10> fonts{};
    return fonts;
}

bool fontsCreated = false;

bool HasFamily(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

void LoadBundledFace() {
    for (const char* path : kBundledFaceFiles) {
        if (QFile::exists(path)) QFontDatabase::addApplicationFont(path);
    }
}

int ScreenDotsPerInchY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 96;
    return qRound(screen->logicalDotsPerInchY());
}

}  // namespace

QString SharedFontFace() {
    static const QString face = [] {
        if (!HasFamily(kFace)) LoadBundledFace();
        if (HasFamily(kFace)) return QString(kFace);
        for (const char* fallback : kFallbackFaces) {
            if (HasFamily(fallback)) return QString(fallback);
        }
        return QString(kFace);  // the font matcher then picks a sans face
    }();
    return face;
}

int FontPixelHeight(int points, int dotsPerInch) {
    const long long product = static_cast<long long>(points) * dotsPerInch;
    return static_cast<int>((product + 36) / 72);
}

void CreateFonts() {
    if (fontsCreated) return;
    const QString face = SharedFontFace();
    const int dotsPerInch = ScreenDotsPerInchY();
    for (std::size_t i = 0; i < kFontStyles.size(); ++i) {
        auto* font = new QFont(face);
        font->setStyleHint(QFont::SansSerif);
        font->setPixelSize(FontPixelHeight(kFontStyles[i].points, dotsPerInch));
        font->setWeight(kFontStyles[i].bold ? QFont::Bold : QFont::Normal);
        Fonts()[i] = font;
    }
    fontsCreated = true;
}

bool FontsCreated() { return fontsCreated; }

QFont* SharedFont(SharedFontId id) {
    return Fonts()[static_cast<std::size_t>(id)];
}
