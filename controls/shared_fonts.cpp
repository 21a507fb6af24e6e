#include "controls/shared_fonts.h"

#include "wizard/page_tables.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

#include <array>

namespace {

const QString kFace = QString::fromUtf8(kFontFace.data(), static_cast<int>(kFontFace.size()));

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
    const auto styles = SharedFonts();
    for (std::size_t i = 0; i < styles.size(); ++i) {
        auto* font = new QFont(face);
        font->setStyleHint(QFont::SansSerif);
        font->setPixelSize(FontPixelHeight(styles[i].points, dotsPerInch));
        font->setWeight(styles[i].bold ? QFont::Bold : QFont::Normal);
        Fonts()[i] = font;
    }
    fontsCreated = true;
}

bool FontsCreated() { return fontsCreated; }

QFont* SharedFont(SharedFontId id) {
    return Fonts()[static_cast<std::size_t>(id)];
}

QFont* SharedFont(FontStyle style) {
    const auto styles = SharedFonts();
    for (std::size_t i = 0; i < styles.size(); ++i) {
        if (styles[i] == style) return Fonts()[i];
    }
    return nullptr;
}
