#include "jlink/jlink_writer.h"

#include "flash/flash_plan.h"
#include "jlink/tool_file_names.h"
#include "job/board_info.h"
#include "job/mac_address.h"
#include "job/job_events.h"
#include "job/status_codes.h"
#include "platform/file_lock.h"
#include "platform/text_paths.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

JLinkWriter::JLinkWriter(IJobObserver* observer, CBoardInfo* request, JLinkSettings settings)
    : observer(observer), request(request), settings(std::move(settings))
{
}

JLinkWriter::~JLinkWriter()
{
    if (worker.joinable())
        worker.join();
}

void JLinkWriter::Start()
{
    {
        std::lock_guard lock(stateMutex);
        if (started)
            return;
        started = true;
    }
    worker = std::thread([this] {
        Run();
        std::lock_guard lock(stateMutex);
        ended = true;
        endedSignal.notify_all();
    });
}

void JLinkWriter::Wait(const std::function<void()>& whileWaiting)
{
    constexpr auto kLook = std::chrono::milliseconds(20);
    for (;;) {
        {
            std::unique_lock lock(stateMutex);
            if (!started)
                return;
            if (endedSignal.wait_for(lock, kLook, [this] { return ended; }))
                break;
        }
        if (whileWaiting)
            whileWaiting();
    }
    if (worker.joinable())
        worker.join();
}

bool JLinkWriter::HasEnded() const
{
    std::lock_guard lock(stateMutex);
    return !started || ended;
}

void JLinkWriter::Run()
{
    SendStatus(kStatusProgrammingFlash);
    PrepareAndProgram(std::string(request->imagePath));
    if (!errorSeen)
        SendStatus(kStatusSuccess);
}

void JLinkWriter::PrepareAndProgram(const std::string& imagePath)
{
    std::string toolPath;
    if (!FindInputs(imagePath, toolPath))
        return ReportFailure();
    if (!request->image.buffer) {
        // The starter has already told the user why.
        NoteFailure(JLinkFailure::ImageNotLoaded, "the image did not load: " + imagePath);
        return ReportFailure();
    }
    if (settings.tempFolder.empty()) {
        NoteFailure(JLinkFailure::NoTempFolder, "No temporary folder for the job files");
        return ReportFailure();
    }
    const auto claim = ClaimTempFolder();
    if (!claim)
        return ReportFailure();
    // The tool programs a copy grown to the MAC field's end: its pieces and
    // the script's lengths are those of the copy.
    const FlashPlan plan(request->image.Bytes(), MacTextToBytes(request->macText),
                         ShortImage::GrowToMacEnd);
    const std::string copyPath = WriteImageCopy(imagePath, plan.Image(), *claim);
    if (copyPath.empty())
        return ReportFailure();
    if (CreateWorkFiles(plan))
        RunJLink(toolPath);
    else
        ReportFailure();
    DeleteWorkFolder();
    std::error_code ignored;
    fs::remove(PathOfText(copyPath), ignored);
    if (!errorSeen)
        Diagnostic("\n\nJob successfully completed. Reset the board to boot from FLASH.");
}

// Both lookups always run, so the user learns of both problems at once.
bool JLinkWriter::FindInputs(const std::string& imagePath, std::string& toolPath)
{
    bool found = true;
    std::error_code error;
    if (imagePath.empty() || !fs::exists(PathOfText(imagePath), error)) {
        NoteFailure(JLinkFailure::ImageMissing, "Cannot open bin file: " + imagePath);
        Tell("Error: Cannot open bin file: " + imagePath);
        found = false;
    }
    const bool overridden = !settings.toolPath.empty();
    toolPath = overridden ? settings.toolPath : JoinPath(settings.programFolder, ToolRelativePath());
    // The tool starts in the temporary folder: a relative path would no
    // longer lead to it there.
    toolPath = TextOfPath(fs::absolute(PathOfText(toolPath), error));
    if (!fs::exists(PathOfText(toolPath), error)) {
        const std::string shown = kToolShownWithFullPath ? toolPath
                                  : overridden           ? settings.toolPath
                                                         : ToolRelativePath();
        const std::string text = "Cannot find " + std::string(kToolName) + ": " + shown;
        NoteFailure(JLinkFailure::ToolMissing, text);
        Tell("Error: " + text);
        found = false;
    }
    return found;
}

// One job at a time in a temporary folder: a second would write its files
// where the first one's tool still reads them. The claim ends with the job's
// process however it ends, and the tool never outlives that process; so a
// job that finds the claim free clears what a killed job left behind.
std::unique_ptr<IFileLock> JLinkWriter::ClaimTempFolder()
{
    FileLockAttempt attempt =
        TryLockFile(TempPath(kWorkFolderLockName), {.create = true, .removeOnRelease = true});
    if (!attempt.lock) {
        const std::string text = attempt.heldElsewhere
                                     ? "Another J-Link job is still running in " +
                                           settings.tempFolder + ": wait for it to end, then try again"
                                     : "Cannot claim the temporary folder: " + attempt.error;
        // The user must learn that nothing was programmed and why, on either face.
        NoteFailure(JLinkFailure::WorkFolderBusy, text);
        Tell("Error: " + text);
        return nullptr;
    }
    // The work folder a killed job left; whatever else has that name is for
    // the job to trip over and report.
    std::error_code ignored;
    const fs::path left = PathOfText(TempPath(kWorkFolderName));
    if (fs::is_directory(fs::symlink_status(left, ignored)))
        fs::remove_all(left, ignored);
    RemoveLeftImageCopy(*attempt.lock);
    return std::move(attempt.lock);
}

// The claim's note names the copy a job wrote: a job killed before it
// removed it left the name there for this one.
void JLinkWriter::RemoveLeftImageCopy(IFileLock& claim) const
{
    const std::string left = claim.ReadNote();
    const std::string suffix(kImageCopySuffix);
    std::error_code ignored;
    const fs::path path = PathOfText(TempPath(left));
    const bool copyName = !left.empty() && left.find_first_of("/\\") == std::string::npos &&
                          left.find(suffix) != std::string::npos;
    if (copyName && fs::is_regular_file(fs::symlink_status(path, ignored)))
        fs::remove(path, ignored);
    claim.WriteNote("");
}

// The copy gets a name of its own that nothing in the temporary folder has
// yet: neither an image chosen from that folder nor any other file there is
// ever overwritten, patched or deleted by the job.
std::string JLinkWriter::WriteImageCopy(const std::string& imagePath,
                                        std::span<const std::uint8_t> bytes, IFileLock& claim)
{
    const std::string base =
        TempPath(TextOfPath(PathOfText(imagePath).filename()) + std::string(kImageCopySuffix));
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string path = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        std::FILE* file = OpenFile(path, "wbx");
        if (!file) {
            std::error_code error;
            if (fs::exists(PathOfText(path), error))
                continue;
            break;
        }
        // Made by this job just now, so the next one may remove it.
        claim.WriteNote(TextOfPath(PathOfText(path).filename()));
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (std::fclose(file) == 0 && written)
            return path;
        std::error_code ignored;
        fs::remove(PathOfText(path), ignored);
        break;
    }
    NoteFailure(JLinkFailure::CopyFailed, "Cannot write the image copy into: " + settings.tempFolder);
    return {};
}

bool JLinkWriter::DeleteWorkFolder()
{
    std::error_code error;
    fs::remove_all(PathOfText(TempPath(kWorkFolderName)), error);
    return !error;
}

void JLinkWriter::SendStatus(std::int32_t code)
{
    request->statusCode = code;
    JobStatus status;
    status.code = code;
    if (observer)
        observer->OnStatus(status);
}

void JLinkWriter::SendProgress(int percent)
{
    if (observer)
        observer->OnProgress(percent);
}

void JLinkWriter::NoteFailure(JLinkFailure why, const std::string& detail)
{
    Diagnostic("\n\r Error: " + detail);
    if (failure != JLinkFailure::None)
        return;
    failure = why;
    failureDetail = detail;
}

void JLinkWriter::Tell(const std::string& text)
{
    told = true;
    if (observer)
        observer->OnMessage(text);
}

// The reason goes with the status unless a message has already told it.
void JLinkWriter::ReportFailure()
{
    errorSeen = true;
    request->statusCode = kStatusProgrammingFailed;
    JobStatus status;
    status.code = kStatusProgrammingFailed;
    status.failure = told ? std::string() : failureDetail;
    if (observer)
        observer->OnStatus(status);
}

void JLinkWriter::Diagnostic(std::string_view text) const
{
    if (settings.diagnostics)
        settings.diagnostics(text);
    else
        std::cout << text << std::flush;
}

std::string JLinkWriter::LogPath() const
{
    return settings.tempFolder.empty() ? std::string() : TempPath(kLogFileName);
}

std::string JLinkWriter::TempPath(std::string_view relative) const
{
    return JoinPath(settings.tempFolder, relative);
}
