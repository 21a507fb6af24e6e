#pragma once
// UTF-8 inside the program, UTF-16 at every Windows call: these two are the
// only crossings, so that names outside ASCII (a user's folder, a port's
// friendly name) come through whole instead of through the code page.

#include <string>
#include <string_view>

#include <windows.h>

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The system's own words for an error code, without the closing full stop
// and line break, so that it fits into a sentence of ours.
std::string SystemErrorText(DWORD error);
