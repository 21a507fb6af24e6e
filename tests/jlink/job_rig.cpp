#include "job_rig.h"

#include "images/prepare_request.h"
#include "job/board_info.h"
#include "job/job_messages.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

JobRig::JobRig()
    : dialog([this](unsigned message, WParam wparam, LParam) { return Handle(message, wparam); })
{
    fs::create_directories(ProgramFolder());
    fs::create_directories(TempFolder());
}

void JobRig::InstallTool(const std::string& binary) const
{
    fs::create_directories(fs::path(ToolPath()).parent_path());
    if (binary.empty())
        dir.Write("program/jlink/JLinkExe", "");
    else
        fs::create_symlink(binary, ToolPath());
}

JLinkSettings JobRig::Settings(ProcessStarter starter)
{
    JLinkSettings settings;
    settings.programFolder = ProgramFolder();
    settings.tempFolder = TempFolder();
    settings.toolTimeLimit = std::chrono::seconds(20);
    settings.readWait = std::chrono::milliseconds(20);
    settings.startProcess = std::move(starter);
    settings.diagnostics = [this](std::string_view text) {
        std::lock_guard lock(mutex);
        diagnostics += text;
    };
    return settings;
}

std::vector<std::string> JobRig::Run(const JLinkSettings& settings, const std::string& imagePath,
                                     const std::string& mac)
{
    {
        std::lock_guard lock(mutex);
        events.clear();
    }
    JLinkJob job(&reports, settings);
    PrepareRequest(job.request, imagePath, fs::path(imagePath).filename().string(), mac);
    job.writer->Start();
    job.writer->Wait([this] { Pump(); });
    dialog.DispatchPending();
    failure = job.writer->Failure();
    return Events();
}

std::string StatusEvent(std::int32_t code) { return "status " + std::to_string(code); }

LParam JobRig::Handle(unsigned message, WParam wparam)
{
    std::lock_guard lock(mutex);
    if (message == WM_JOB_STATUS)
        events.push_back(StatusEvent(StatusOfMessage(wparam).code));
    else if (message == WM_JOB_PROGRESS)
        events.push_back("progress " + std::to_string(wparam));
    else if (message == WM_JOB_MESSAGE)
        messages.push_back(TextOfMessage(wparam));
    return 0;
}

std::vector<std::string> JobRig::Events() const
{
    std::lock_guard lock(mutex);
    return events;
}

std::vector<std::string> JobRig::Messages() const
{
    std::lock_guard lock(mutex);
    return messages;
}

std::string JobRig::Diagnostics() const
{
    std::lock_guard lock(mutex);
    return diagnostics;
}

std::vector<std::string> JobRig::TempEntries() const
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(TempFolder()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
