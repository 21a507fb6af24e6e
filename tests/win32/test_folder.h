#pragma once
// A fresh folder below the temporary folder, its name with characters from
// outside ASCII so that every path the tests use crosses the UTF-8/UTF-16
// boundary; removed with everything in it when the test ends.

#include <filesystem>
#include <string>
#include <string_view>

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The folder's path in UTF-8, as the program passes paths around.
    const std::string& Utf8() const { return utf8; }
    const std::filesystem::path& Path() const { return path; }
    std::string Write(std::string_view name, std::string_view text) const;

private:
    std::filesystem::path path;
    std::string utf8;
};

// A path as UTF-8, whatever the system's code page.
std::string Utf8Of(const std::filesystem::path& path);
// UTF-8 text as a path.
std::filesystem::path PathOfUtf8(const std::string& utf8);

// The stand-in tool, found from the test program's own folder.
std::string StandInPath();
