#include "platform/text_paths.h"

#include "platform/win32/wide_text.h"

#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

// The C runtime that mingw-w64 links knows no "x" mode: an exclusive file is
// created with _wopen and then given its stream.
std::FILE* OpenFile(const std::string& utf8Path, const char* mode)
{
    const std::wstring path = Widen(utf8Path);
    std::string plain;
    for (const char* c = mode; *c; ++c)
        if (*c != 'x')
            plain += *c;
    const std::wstring wideMode = Widen(plain);
    if (std::strchr(mode, 'x') == nullptr)
        return ::_wfopen(path.c_str(), wideMode.c_str());
    const int flags = _O_CREAT | _O_EXCL | _O_WRONLY | (std::strchr(mode, 'b') ? _O_BINARY : _O_TEXT);
    const int fd = ::_wopen(path.c_str(), flags, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::_wfdopen(fd, wideMode.c_str());
    if (!file)
        ::_close(fd);
    return file;
}
