// quillmark-flash flash --jlink: the dialog's J-Link job on the console.

#include "cli/commands.h"
#include "cli/console_job_runner.h"
#include "cli/flash_command.h"
#include "images/prepare_request.h"
#include "jlink/jlink_job.h"
#include "jlink/machine_settings.h"
#include "platform/console.h"
#include "platform/text_paths.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string_view>

namespace {

// The job is made before the runner that shows it, which needs the loaded
// image's length: messages go through this until the runner exists.
class ForwardingReports final : public IJobObserver {
public:
    void OnStatus(const JobStatus& status) override { to->OnStatus(status); }
    void OnProgress(int percent) override { to->OnProgress(percent); }
    void OnMessage(std::string_view text) override { to->OnMessage(text); }
    IJobObserver* to = nullptr;
};

// The job's diagnostics are meant for no one; on the console the reason of a
// failure is worth reading, unless a message has already given it.
void ShowFailureReason(const ConsoleJobRunner& runner)
{
    if (!runner.Failure().empty())
        std::cerr << "jlink: Error: " << runner.Failure() << std::endl;
}

// The log outlives the job and holds the tool's own account of what it did;
// where it lies depends on which private folder was safe.
void ShowLogPath(const std::string& path, bool events)
{
    std::error_code error;
    if (!path.empty() && std::filesystem::exists(PathOfText(path), error))
        ConsoleJobRunner::ProseStream(events) << "J-Link log: " << path << std::endl;
}

JLinkSettings SettingsFor(const FlashOptions& options)
{
    JLinkSettings settings = MachineJLinkSettings();
    settings.toolPath = options.jlinkTool;
    settings.diagnostics = [](std::string_view) {};
    return settings;
}

}  // namespace

int RunJLinkFlash(const FlashOptions& options)
{
    ForwardingReports forward;
    JLinkJob job(&forward, SettingsFor(options));
    const std::string name = TextOfPath(PathOfText(options.image).filename());
    // A job started on an image that did not load would only announce
    // programming and then fail.
    const ImageLoad load = PrepareRequest(job.request, options.image, name, options.mac);
    load.Tell(std::cerr);
    if (!load)
        return kExitFailure;
    // The job programs at least up to the end of the MAC field.
    const std::uint32_t length = std::max<std::uint32_t>(job.request.image.length, 2063);
    ConsoleJobRunner::Settings settings;
    settings.terminal = OutputIsTerminal() && !options.events;
    settings.imageLength = length;
    settings.events = EventStream(options.events ? &std::cout : nullptr);
    settings.port = "jlink";
    settings.mac = options.mac;
    ConsoleJobRunner runner(ConsoleJobRunner::ProseStream(options.events), settings);
    forward.to = &runner.Reports();
    job.writer->Start();
    // Ctrl-C reaches the tool too, but the closing of the console does not
    // (it has none): the tool is ended, and the job then fails and removes
    // its files.
    const auto waitForJob = [&] { job.writer->Wait([&] { runner.Pump(); }); };
    const int exitCode = runner.Run([&] {
        job.writer->Abort();
        waitForJob();
    });
    waitForJob();
    ShowFailureReason(runner);
    ShowLogPath(job.writer->LogPath(), options.events);
    return exitCode;
}
