// quillmark-flash flash --jlink: the dialog's J-Link job on the console.

#include "cli/commands.h"
#include "cli/console_job_runner.h"
#include "cli/flash_command.h"
#include "jlink/jlink_job.h"
#include "jlink/job_names.h"
#include "jlink/machine_settings.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string_view>

#include <unistd.h>

namespace {

// The job is made before the runner that shows it, which needs the loaded
// image's length: messages go through this until the runner exists.
class ForwardingTarget final : public IMessageTarget {
public:
    void Post(unsigned message, WParam wparam, LParam lparam) override
    {
        to->Post(message, wparam, lparam);
    }
    LParam Send(unsigned message, WParam wparam, LParam lparam) override
    {
        return to->Send(message, wparam, lparam);
    }
    IMessageTarget* to = nullptr;
};

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// The job's diagnostics are meant for no one; on the console the reasons of
// a failure are worth reading. The two lookups already reach the user
// through the message box.
void ShowFailureReason(std::string_view text)
{
    const std::size_t start = text.find_first_not_of("\n\r ");
    if (start == std::string_view::npos)
        return;
    text.remove_prefix(start);
    if (!StartsWith(text, "Error") || StartsWith(text, "Error: Cannot open bin file") ||
        StartsWith(text, "Error: Cannot find " + std::string(kToolName)))
        return;
    std::cerr << "jlink: " << text << std::endl;
}

// The log outlives the job and holds the tool's own account of what it did;
// where it lies depends on which private folder was safe.
void ShowLogPath(const std::string& path)
{
    std::error_code error;
    if (!path.empty() && std::filesystem::exists(path, error))
        std::cout << "J-Link log: " << path << std::endl;
}

JLinkSettings SettingsFor(const FlashOptions& options)
{
    JLinkSettings settings = MachineJLinkSettings();
    settings.toolPath = options.jlinkTool;
    settings.diagnostics = ShowFailureReason;
    return settings;
}

}  // namespace

int RunJLinkFlash(const FlashOptions& options)
{
    ForwardingTarget forward;
    JLinkJob job(&forward, SettingsFor(options));
    const std::string name = std::filesystem::path(options.image).filename().string();
    // The image loader has already said why it refused the image: a job
    // started on it would only announce programming and then fail.
    if (!job.request.Prepare(options.image, name, options.mac))
        return kExitFailure;
    // The job programs at least up to the end of the MAC field.
    const std::uint32_t length = std::max<std::uint32_t>(job.request.image->length, 2063);
    ConsoleJobRunner runner(std::cout, {::isatty(STDOUT_FILENO) == 1, length, std::nullopt, {}, {}});
    forward.to = &runner.Target();
    job.writer->Start();
    // The job has no stop: an interrupt reaches the tool too, and the job
    // then ends by itself, removing its files.
    const auto waitForJob = [&] { job.writer->Wait([&] { runner.Pump(); }); };
    const int exitCode = runner.Run(waitForJob);
    waitForJob();
    ShowLogPath(job.writer->LogPath());
    return exitCode;
}
