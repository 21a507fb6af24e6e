#pragma once
// A control of the Windows window, as the page builders record it.

#include "wizard/control_entry.h"

#include <windows.h>

using LoaderControl = ControlEntry<HWND, HFONT>;
