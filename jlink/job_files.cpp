// The job files: the image copy cut into pieces, the flash loader and the
// command script, in the job folder below the temporary folder.

#include "app/message_box.h"
#include "data/loader_images.h"
#include "images/flash_layout.h"
#include "jlink/command_script.h"
#include "jlink/job_names.h"
#include "jlink/jlink_writer.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class WriteResult { Written, CannotCreate, ShortWrite };

WriteResult WriteWholeFile(const std::string& path, const char* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return WriteResult::CannotCreate;
    out.write(data, static_cast<std::streamsize>(size));
    out.close();
    return out ? WriteResult::Written : WriteResult::ShortWrite;
}

}  // namespace

bool JLinkWriter::CreateJobFiles(const std::string& copyPath)
{
    Diagnostic("\n\r Creating temporary files ... ");
    const std::string folder = TempPath(kJobFolderName);
    std::error_code error;
    fs::create_directory(folder, error);
    if (!fs::is_directory(folder, error))
        return FailJobFiles("Cannot create temporary folder: " + std::string(kJobFolderName));

    std::ifstream copy(copyPath, std::ios::binary);
    if (!copy)
        return FailJobFiles("Cannot open file: " + copyPath);
    std::vector<char> piece(kPieceSize);
    imageLength = 0;
    int n = 0;
    for (;;) {
        const std::size_t want = n == 0 ? kFirstPieceSize : kPieceSize;
        copy.read(piece.data(), static_cast<std::streamsize>(want));
        const auto got = static_cast<std::size_t>(copy.gcount());
        if (got == 0) {
            if (n == 0)
                return FailJobFiles("empty binary image: ");
            break;
        }
        const std::string name = JobRelativePath(PieceFileName(n));
        const WriteResult result = WriteWholeFile(TempPath(name), piece.data(), got);
        if (result == WriteResult::CannotCreate)
            return FailJobFiles("Cannot create temporary file: " + name);
        if (result == WriteResult::ShortWrite)
            return FailJobFiles("file write error: " + name);
        imageLength += static_cast<std::uint32_t>(got);
        ++n;
        if (got < want)
            break;
    }
    pieceCount = n;

    if (kHeaderSize + std::uint64_t{imageLength} >= kFlashSize) {
        // The user learns why, as on the serial path.
        ShowMessageBox(ImageTooLongMessage(imageLength));
        return FailJobFiles("Image won't fit at specified address");
    }

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
        const auto size = fs::file_size(TempPath(name), error);
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
