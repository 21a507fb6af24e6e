#pragma once
// The fonts every control of the Windows window shares, created once per
// resolution in the page tables' order (SharedFonts()) and never destroyed:
// a window moved to a screen of another DPI takes that screen's set, and the
// controls of another window may still hold the old one.

#include "wizard/page_tables.h"

#include <windows.h>

// Creates the fonts for the screen's resolution unless they exist.
void CreateFonts();
bool FontsCreated();

// The shared font of that size and weight at the screen's resolution; null
// before CreateFonts or for a style the tables do not name.
HFONT SharedFont(FontStyle style);
// The same at `dpi` dots per inch, made on first use; the screen's DPI gives
// the fonts SharedFont(style) gives. Null for a style the tables do not name.
HFONT SharedFont(FontStyle style, int dpi);
