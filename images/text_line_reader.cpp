#include "images/text_line_reader.h"

#include "platform/text_paths.h"

#include <cerrno>

TextLineReader::TextLineReader(const std::string& path)
    // Binary, so that every system reads the same bytes: a text-mode read on
    // Windows would drop carriage returns and end at a Ctrl-Z.
    : file(OpenFile(path, "rb"))
{
    if (!file)
        error = errno;
}

TextLineReader::~TextLineReader()
{
    if (file)
        std::fclose(file);
}

int TextLineReader::Get()
{
    if (position == filled) {
        position = 0;
        errno = 0;
        filled = std::fread(chunk, 1, sizeof chunk, file);
        if (filled == 0) {
            if (std::ferror(file) && error == 0)
                error = errno ? errno : EIO;
            return kEnd;
        }
    }
    return static_cast<unsigned char>(chunk[position++]);
}

TextLineReader::Line TextLineReader::Next(char* buffer, std::size_t size)
{
    int c = Get();
    if (c == kEnd)
        return error ? Line::ReadError : Line::End;
    ++lineNumber;
    std::size_t length = 0;
    for (; c != kEnd && c != '\n'; c = Get()) {
        if (c == '\0')
            return Line::HasNul;
        if (length == size - 1)
            return Line::TooLong;
        buffer[length++] = static_cast<char>(c);
    }
    buffer[length] = '\0';
    return error ? Line::ReadError : Line::Read;
}
