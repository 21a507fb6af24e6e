#pragma once
// The ten fonts that every control of the wizard shares, created once in the
// page tables' order (SharedFonts()).

#include "wizard/page_tables.h"

#include <QFont>
#include <QString>

// In the tables' order.
enum class SharedFontId {
    Normal8, Normal10, Normal11, Normal12, Normal14,
    Bold8, Bold10, Bold11, Bold12, Bold14,
};

// Creates the fonts unless they exist. Needs a QGuiApplication.
void CreateFonts();
bool FontsCreated();

// Null before CreateFonts; the fonts are never destroyed.
QFont* SharedFont(SharedFontId id);
// The same by size and weight; null too for a style the tables do not name.
QFont* SharedFont(FontStyle style);

// "Tahoma" where the machine has it (or a face with its metrics that we can
// load), otherwise a similar sans face.
QString SharedFontFace();

// Pixel height for `points` at `dotsPerInch`, rounded like the other
// toolkits round it, so that text fits the same boxes everywhere.
int FontPixelHeight(int points, int dotsPerInch);
