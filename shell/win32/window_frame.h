#pragma once
// The outer size of a window whose client area must have a given size: the
// caption and borders differ between Windows versions, themes and DPI, so
// the frame is asked of the system, never assumed.

#include "wizard/page_tables.h"

#include <windows.h>

// The outer size for `client` pixels inside a frame of the given styles at
// `dpi` (the system's own rule where it has one for DPI, else the one for
// the system's DPI).
Extent OuterSizeForClient(Extent client, DWORD style, DWORD exStyle, UINT dpi);

// The window's DPI where the system can say, else the screen's.
UINT WindowDpi(HWND window);

// Sizes `window` so that its client area is `client`, keeping its place.
void SizeWindowForClient(HWND window, Extent client);
