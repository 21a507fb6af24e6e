#pragma once
// The ten fonts that every control of the wizard shares, created once.

#include <QFont>
#include <QString>

enum class SharedFontId {
    Normal8, Normal10, Normal11, Normal12, Normal14,
    Bold8, Bold10, Bold11, Bold12, Bold14,
};

// Creates the fonts unless they exist. Needs a QGuiApplication.
void CreateFonts();
bool FontsCreated();

// Null before CreateFonts; the fonts are never destroyed.
QFont* SharedFont(SharedFontId id);

// "Tahoma" where the machine has it (or a face with its metrics that we can
// load), otherwise a similar sans face.
QString SharedFontFace();

// Pixel height for `points` at `dotsPerInch`, rounded like the other
// toolkits round it, so that text fits the same boxes everywhere.
int FontPixelHeight(int points, int dotsPerInch);
