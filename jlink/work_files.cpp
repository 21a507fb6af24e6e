// The work files: the plan's image cut into pieces, the flash loader and the
// command script, in the work folder below the temporary folder.

#include "data/target_code.h"
#include "flash/flash_layout.h"
#include "flash/flash_plan.h"
#include "jlink/command_script.h"
#include "jlink/jlink_writer.h"
#include "jlink/tool_file_names.h"
#include "platform/text_paths.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
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

}  // namespace

bool JLinkWriter::CreateWorkFiles(const FlashPlan& plan)
{
    Diagnostic("\n\r Creating temporary files ... ");
    const std::string folder = TempPath(kWorkFolderName);
    std::error_code error;
    fs::create_directory(PathOfText(folder), error);
    if (!fs::is_directory(PathOfText(folder), error))
        return FailWorkFiles("Cannot create temporary folder: " + std::string(kWorkFolderName));

    const std::uint32_t imageLength = plan.ImageLength();
    if (!ImageFitsFlash(imageLength)) {
        // The user learns why, as on the serial path.
        Tell(ImageTooLongMessage(imageLength));
        return FailWorkFiles("Image won't fit at specified address");
    }
    if (!WritePieces(plan) || !WriteWorkFile(kFlashLoaderFileName, FlashLoader()) || !WriteScript(plan))
        return false;
    Diagnostic("Done");
    return true;
}

// Cut by the very rule the script is written from, so that what the tool
// loads and what the loader is told to write always agree.
bool JLinkWriter::WritePieces(const FlashPlan& plan)
{
    const std::vector<FlashWrite> pieces = CutIntoPieces(plan.ImageWrite());
    for (std::size_t n = 0; n < pieces.size(); ++n) {
        if (!WriteWorkFile(PieceFileName(static_cast<int>(n)), pieces[n].bytes))
            return false;
    }
    pieceCount = static_cast<int>(pieces.size());
    return true;
}

bool JLinkWriter::WriteScript(const FlashPlan& plan)
{
    const std::string script = BuildCommandScript(plan);
    return WriteWorkFile(kScriptFileName, {reinterpret_cast<const std::uint8_t*>(script.data()),
                                          script.size()});
}

bool JLinkWriter::WriteWorkFile(std::string_view fileName, std::span<const std::uint8_t> bytes)
{
    const std::string name = WorkRelativePath(fileName);
    const WriteResult result =
        WriteWholeFile(TempPath(name), reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (result == WriteResult::CannotCreate)
        return FailWorkFiles("Cannot create temporary file: " + name);
    if (result == WriteResult::ShortWrite)
        return FailWorkFiles("file write error: " + name);
    return true;
}

// A job that cannot write its files ends as a failed job; the program goes on.
bool JLinkWriter::FailWorkFiles(const std::string& message)
{
    NoteFailure(JLinkFailure::WorkFilesFailed, message);
    DeleteWorkFolder();
    return false;
}
