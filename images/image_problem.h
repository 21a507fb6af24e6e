#pragma once
// How FlashImage::Load refuses a file: the message box text first, then the
// file it is about.

#include <string>
#include <string_view>

// `message`, then on a line of its own the path and, unless it is empty, why.
void ShowFileProblem(std::string_view message, const std::string& path, std::string_view reason);

// "ERROR: Line N of the S-record file ..." for the line that is refused.
void ShowLineProblem(const std::string& path, int line, std::string_view problem);
