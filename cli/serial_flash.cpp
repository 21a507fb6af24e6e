// quillmark-flash flash --port: the dialog's serial job, shown on the console.

#include "cli/commands.h"
#include "cli/console_job_runner.h"
#include "cli/flash_command.h"
#include "images/prepare_request.h"
#include "job/status_table.h"
#include "platform/console.h"
#include "platform/machine.h"
#include "platform/text_paths.h"
#include "serial/serial_job.h"

#include <filesystem>
#include <iostream>

namespace {

SerialTiming TimingOf(const FlashOptions& options)
{
    return options.timing == "fixed" ? SerialTiming::Fixed() : SerialTiming::Prompt();
}

ConsoleJobRunner::Settings RunnerSettings(const FlashOptions& options)
{
    ConsoleJobRunner::Settings settings;
    settings.terminal = OutputIsTerminal() && !options.events;
    settings.events = EventStream(options.events ? &std::cout : nullptr);
    settings.port = options.port;
    settings.mac = options.mac;
    settings.boardWaitLimit = std::chrono::seconds(options.waitSeconds);
    return settings;
}

}  // namespace

int RunSerialFlash(const FlashOptions& options)
{
    const std::unique_ptr<ISerialPortFactory> ports = MakeSerialPortFactory();
    ConsoleJobRunner runner(ConsoleJobRunner::ProseStream(options.events),
                            RunnerSettings(options));
    SerialJob job(&runner.Reports(), *ports, TimingOf(options));
    job.request.portName = options.port;
    const std::string name = TextOfPath(PathOfText(options.image).filename());
    // An image that did not load is refused by the job itself, with its status.
    const ImageLoad load = PrepareRequest(job.request, options.image, name, options.mac);
    load.Tell(std::cerr);
    if (load)
        runner.SetImageLength(job.request.image.length);
    job.writer->Start();
    const auto pump = [&runner] { runner.Pump(); };
    const int exitCode = runner.Run([&] { job.writer->Stop(pump); });
    job.writer->Join(pump);
    return exitCode;
}
