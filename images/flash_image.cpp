#include "images/flash_image.h"

#include "flash/flash_layout.h"
#include "images/image_problem.h"
#include "images/srecord_path.h"
#include "images/srecord_text_check.h"
#include "platform/text_paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <string_view>

namespace {

std::string SRecordTextWarning(const std::string& path)
{
    std::string extensions;
    for (std::string_view extension : kSRecordExtensions)
        extensions += (extensions.empty() ? "" : ", ") + std::string(extension);
    return "WARNING: " + path +
           " looks like an S-record file, but its name makes it a raw image: its text, not the "
           "data of its records, would be programmed as the firmware.\nGive it an S-record "
           "extension (" + extensions + ") to program the data of its records.";
}

}  // namespace

bool FlashImage::IsSRecordPath(const std::string& path) { return ::IsSRecordPath(path); }

void FlashImage::Empty()
{
    buffer.reset();
    data = nullptr;
    length = 0;
}

ImageBlock FlashImage::TakeBlock()
{
    ImageBlock block{std::move(buffer), length};
    Empty();
    return block;
}

namespace {

// A pipe or a device named like an image would block the open or never end;
// it is refused as a file that cannot be opened. (A folder fails its size
// query as usual.)
bool IsSpecialFile(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(PathOfText(path), error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
           !std::filesystem::is_directory(status);
}

}  // namespace

ImageLoad FlashImage::Load(const std::string& path)
{
    Empty();
    outcome = {};
    const bool srecord = IsSRecordPath(path);
    if (IsSpecialFile(path)) {
        Refuse(FileProblem(srecord ? "ERROR: Unable to get Flash File size 3!"
                                   : "Unable to open Flash File!",
                           path, "not a regular file"));
    } else {
        srecord ? LoadSRecords(path) : LoadRaw(path);
    }
    return std::move(outcome);
}

bool FlashImage::Refuse(ImageProblem problem)
{
    outcome.problem = std::move(problem);
    return false;
}

bool FlashImage::AllocateBlock(const std::string& path)
{
    buffer.reset(new (std::nothrow) std::uint8_t[kBlockSize]);
    if (!buffer) {
        return Refuse(FileProblem("ERROR!: Could not allocate memory  ", path, std::strerror(ENOMEM)));
    }
    return true;
}

namespace {

// The raw file's size once it is known to fit the block; the problem when it
// is not.
std::optional<ImageProblem> RawFileSize(const std::string& path, std::uint32_t& size)
{
    std::error_code error;
    const std::uintmax_t fileSize = std::filesystem::file_size(PathOfText(path), error);
    if (error)
        return FileProblem("ERROR: Unable to get Flash File size 2!", path, error.message());
    if (fileSize == 0)
        return FileProblem("ERROR: File has size 0 !", path, "the file is empty");
    // Named by the limit the jobs apply, though the block holds a few bytes more.
    if (fileSize > FlashImage::kBlockSize)
        return FileProblem(ImageTooLongMessage(fileSize), path, {});
    size = static_cast<std::uint32_t>(fileSize);
    return std::nullopt;
}

}  // namespace

bool FlashImage::LoadRaw(const std::string& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFile(path, "rb"),
                                                         &std::fclose);
    if (!file) {
        return Refuse(FileProblem("Unable to open Flash File!", path, std::strerror(errno)));
    }
    std::uint32_t size = 0;
    if (auto problem = RawFileSize(path, size))
        return Refuse(std::move(*problem));
    if (!AllocateBlock(path))
        return false;
    length = size;
    if (!ReadRaw(file.get(), path))
        return false;
    // Past the image the block reads as erased flash, not as leftover heap.
    std::fill(buffer.get() + length, buffer.get() + kBlockSize, 0xFF);
    if (LooksLikeSRecordText(buffer.get(), length))
        outcome.warning = SRecordTextWarning(path);
    data = buffer.get();
    return true;
}

bool FlashImage::ReadRaw(std::FILE* file, const std::string& path)
{
    errno = 0;
    const std::size_t got = std::fread(buffer.get(), 1, length, file);
    if (got < length && std::ferror(file)) {
        return Refuse(FileProblem("ERROR!: Could not read from the file  ", path,
                        std::strerror(errno ? errno : EIO)));
    }
    if (got < length) {
        return Refuse(FileProblem("ERROR!: File length mismatch  ", path,
                        "only " + std::to_string(got) + " of its " + std::to_string(length) +
                            " bytes could be read"));
    }
    return true;
}
