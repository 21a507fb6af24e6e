#include "platform/text_paths.h"

std::FILE* OpenFile(const std::string& utf8Path, const char* mode)
{
    return std::fopen(utf8Path.c_str(), mode);
}
