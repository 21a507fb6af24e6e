#pragma once
// Reads a text file line by line into a caller's fixed buffer, counting the
// bytes it really reads: a NUL byte neither ends a line early nor hides how
// long it is, so a file of NULs is refused at its first line instead of
// being read to its end.

#include <cstddef>
#include <cstdio>
#include <string>

class TextLineReader {
public:
    enum class Line {
        Read,       // the line is in the buffer, without its '\n'
        End,        // no more lines
        TooLong,    // the line does not fit the buffer; the rest is not read
        HasNul,     // the line holds a NUL byte; the rest is not read
        ReadError,  // the system refused a read; Error() tells why
    };

    explicit TextLineReader(const std::string& path);
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    bool IsOpen() const { return file != nullptr; }
    // errno of the failed open or read, 0 when there was none.
    int Error() const { return error; }
    // The number of the line the last call to Next reached, from 1.
    int LineNumber() const { return lineNumber; }

    // Reads the next line into `buffer`, at most `size` - 1 characters and a
    // terminator.
    Line Next(char* buffer, std::size_t size);

private:
    static constexpr int kEnd = -1;
    int Get();

    std::FILE* file;
    int error = 0;
    int lineNumber = 0;
    std::size_t position = 0;
    std::size_t filled = 0;
    char chunk[8192];
};
