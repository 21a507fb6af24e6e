#pragma once
// Text is UTF-8 everywhere inside the program; Windows takes and gives UTF-16.
// These are the only places where one becomes the other, so that a path or a
// port name with characters outside ASCII survives every call.

#include <string>
#include <string_view>

#include <windows.h>

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The system's own words for an error code, without the trailing line break.
std::string SystemErrorText(DWORD error);
