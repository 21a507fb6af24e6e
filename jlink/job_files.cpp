// The job files: the image copy cut into pieces, the flash loader and the
// command script, in the job folder below the temporary folder.

#include "data/target_code.h"
#include "flash/flash_layout.h"
#include "jlink/command_script.h"
#include "jlink/jlink_writer.h"
#include "jlink/job_names.h"
#include "platform/message_box.h"
#include "platform/text_paths.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class WriteResult { Written, CannotCreate, ShortWrite };

WriteResult WriteWholeFile(const std::string& path, const char* data, std::size_t size)
{
    std::ofstream out(PathOfText(path), std::ios::binary | std::ios::trunc);
    if (!out)
        return WriteResult::CannotCreate;
    out.write(data, static_cast<std::streamsize>(size));
    out.close();
    return out ? WriteResult::Written : WriteResult::ShortWrite;
}

bool ReadWholeFile(const std::string& path, std::vector<char>& bytes)
{
    std::ifstream in(PathOfText(path), std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

bool JLinkWriter::CreateJobFiles(const std::string& copyPath)
{
    Diagnostic("\n\r Creating temporary files ... ");
    const std::string folder = TempPath(kJobFolderName);
    std::error_code error;
    fs::create_directory(PathOfText(folder), error);
    if (!fs::is_directory(PathOfText(folder), error))
        return FailJobFiles("Cannot create temporary folder: " + std::string(kJobFolderName));

    std::vector<char> image;
    if (!ReadWholeFile(copyPath, image))
        return FailJobFiles("Cannot open file: " + copyPath);
    if (image.empty())
        return FailJobFiles("empty binary image: ");
    imageLength = static_cast<std::uint32_t>(std::min<std::size_t>(image.size(), UINT32_MAX));
    if (kHeaderSize + std::uint64_t{image.size()} >= kFlashSize) {
        // The user learns why, as on the serial path.
        ShowMessageBox(ImageTooLongMessage(image.size()));
        return FailJobFiles("Image won't fit at specified address");
    }
    // Cut by the very rule the script is written from.
    const std::vector<std::uint32_t> sizes = PieceSizes(imageLength);
    std::size_t offset = 0;
    for (std::size_t n = 0; n < sizes.size(); ++n) {
        const std::string name = JobRelativePath(PieceFileName(static_cast<int>(n)));
        const WriteResult result = WriteWholeFile(TempPath(name), image.data() + offset, sizes[n]);
        if (result == WriteResult::CannotCreate)
            return FailJobFiles("Cannot create temporary file: " + name);
        if (result == WriteResult::ShortWrite)
            return FailJobFiles("file write error: " + name);
        offset += sizes[n];
    }
    pieceCount = static_cast<int>(sizes.size());

    const std::string loaderName = JobRelativePath(kLoaderFileName);
    const auto loader = FlashLoader();
    const WriteResult loaderResult = WriteWholeFile(
        TempPath(loaderName), reinterpret_cast<const char*>(loader.data()), loader.size());
    if (loaderResult == WriteResult::CannotCreate)
        return FailJobFiles("Cannot create temporary file: " + loaderName);
    if (loaderResult == WriteResult::ShortWrite)
        return FailJobFiles("file write error: " + loaderName);

    if (!WriteScript())
        return false;
    Diagnostic("Done");
    return true;
}

// The script states each piece's size as its file on disk has it, so what
// the tool loads and what the loader is told to write always agree.
bool JLinkWriter::WriteScript()
{
    std::vector<std::uint32_t> sizes;
    for (int i = 0; i < pieceCount; ++i) {
        const std::string name = JobRelativePath(PieceFileName(i));
        std::error_code error;
        const auto size = fs::file_size(PathOfText(TempPath(name)), error);
        if (error)
            return FailJobFiles("Cannot open temporary file: " + name);
        sizes.push_back(static_cast<std::uint32_t>(size));
    }
    const std::string name = JobRelativePath(kScriptFileName);
    const std::string script = BuildCommandScript(imageLength, sizes);
    const WriteResult result = WriteWholeFile(TempPath(name), script.data(), script.size());
    if (result == WriteResult::CannotCreate)
        return FailJobFiles("Cannot create temporary file: " + name);
    if (result == WriteResult::ShortWrite)
        return FailJobFiles("file write error: " + name);
    return true;
}

// A job that cannot write its files ends as a failed job; the program goes on.
bool JLinkWriter::FailJobFiles(const std::string& message)
{
    NoteFailure(JLinkFailure::JobFilesFailed, message);
    DeleteJobFolder();
    return false;
}
