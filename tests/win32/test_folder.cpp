#include "test_folder.h"

#include "platform/paths.h"

#include <fstream>
#include <random>

std::string Utf8Of(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::filesystem::path PathOfUtf8(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

TestFolder::TestFolder()
{
    std::random_device random;
    path = std::filesystem::temp_directory_path() /
           (u8"quillmark-test-\u00e9\u6e29-" + std::u8string(reinterpret_cast<const char8_t*>(
                                                  std::to_string(random()).c_str())));
    std::filesystem::create_directories(path);
    utf8 = Utf8Of(path);
}

TestFolder::~TestFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string TestFolder::Write(std::string_view name, std::string_view text) const
{
    const std::filesystem::path file = path / PathOfUtf8(std::string(name));
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return Utf8Of(file);
}

std::string StandInPath()
{
    return Utf8Of((PathOfUtf8(ProgramFolder()) / JLINK_STANDIN_FROM_TESTS).lexically_normal());
}
