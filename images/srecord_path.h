#pragma once
// Which file names mark an S-record file. Every other file is a raw image.

#include <array>
#include <string_view>

// The extensions S-record files are written with, compared without regard
// to case. The file dialog offers the same list.
inline constexpr std::array<std::string_view, 5> kSRecordExtensions = {".s19", ".srec", ".s28",
                                                                        ".s37", ".mot"};

// True for a name ending in "s19" in any case (with or without a dot before
// it, as names always were), and for a name with one of kSRecordExtensions.
bool IsSRecordPath(std::string_view path);
