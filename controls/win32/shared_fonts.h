#pragma once
// The fonts every control of the Windows window shares, created once in the
// page tables' order (SharedFonts()) and never destroyed.

#include "app/page_tables.h"

#include <windows.h>

// Creates the fonts unless they exist.
void CreateFonts();
bool FontsCreated();

// The shared font of that size and weight; null before CreateFonts or for a
// style the tables do not name.
HFONT SharedFont(FontStyle style);
