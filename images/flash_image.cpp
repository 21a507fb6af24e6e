#include "images/flash_image.h"

#include "app/message_box.h"
#include "images/image_problem.h"
#include "images/srecord_path.h"
#include "images/srecord_text_check.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <new>
#include <string_view>

namespace {

void WarnOfSRecordText(const std::string& path)
{
    std::string extensions;
    for (std::string_view extension : kSRecordExtensions)
        extensions += (extensions.empty() ? "" : ", ") + std::string(extension);
    ShowMessageBox("WARNING: " + path +
                   " looks like an S-record file, but its name makes it a raw image: its text, not "
                   "the data of its records, would be programmed as the firmware.\nGive it an "
                   "S-record extension (" + extensions + ") to program the data of its records.");
}

}  // namespace

bool FlashImage::IsSRecordPath(const std::string& path) { return ::IsSRecordPath(path); }

void FlashImage::Empty()
{
    buffer.reset();
    data = nullptr;
    length = 0;
}

namespace {

// A pipe or a device named like an image would block the open or never end;
// it is refused as a file that cannot be opened. (A folder fails its size
// query as usual.)
bool IsSpecialFile(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
           !std::filesystem::is_directory(status);
}

}  // namespace

bool FlashImage::Load(const std::string& path)
{
    Empty();
    const bool srecord = IsSRecordPath(path);
    if (IsSpecialFile(path)) {
        ShowMessageBox(srecord ? "ERROR: Unable to get Flash File size 3!"
                               : "Unable to open Flash File!");
        return false;
    }
    return srecord ? LoadSRecords(path) : LoadRaw(path);
}

bool FlashImage::AllocateBlock()
{
    buffer.reset(new (std::nothrow) std::uint8_t[kBlockSize]);
    if (!buffer) {
        ShowMessageBox("ERROR!: Could not allocate memory  ");
        return false;
    }
    return true;
}

bool FlashImage::LoadRaw(const std::string& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        ShowMessageBox("Unable to open Flash File!");
        return false;
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        ShowMessageBox("ERROR: Unable to get Flash File size 2!");
        return false;
    }
    if (size == 0) {
        ShowMessageBox("ERROR: File has size 0 !");
        return false;
    }
    if (size > kBlockSize) {
        ShowMessageBox("ERROR: File is " + std::to_string(size) +
                       " bytes and does not fit the 131072-byte flash block!");
        return false;
    }
    if (!AllocateBlock())
        return false;
    length = static_cast<std::uint32_t>(size);
    const std::size_t got = std::fread(buffer.get(), 1, length, file.get());
    if (got < length && std::ferror(file.get())) {
        ShowMessageBox("ERROR!: Could not read from the file  ");
        return false;
    }
    if (got < length) {
        ShowMessageBox("ERROR!: File length mismatch  ");
        return false;
    }
    // Past the image the block reads as erased flash, not as leftover heap.
    std::fill(buffer.get() + length, buffer.get() + kBlockSize, 0xFF);
    if (LooksLikeSRecordText(buffer.get(), length))
        WarnOfSRecordText(path);
    data = buffer.get();
    return true;
}
