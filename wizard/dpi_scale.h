#pragma once
// The page tables are laid out for a screen of 96 dots per inch; a window on
// a denser screen multiplies every position and size by its DPI over 96, so
// that it shows the same page at the same physical size, sharp.

#include "wizard/page_tables.h"

inline constexpr int kLayoutDpi = 96;

// `value` table pixels at `dpi`, rounded to the nearest pixel.
int ScaleToDpi(int value, int dpi);
Placement ScaleToDpi(Placement place, int dpi);
Extent ScaleToDpi(Extent size, int dpi);
