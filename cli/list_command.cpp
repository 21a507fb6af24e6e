// quillmark-flash list: the boards, the J-Link probe and the current image,
// as the dialog would see them; with --watch every change as it is notified,
// until Ctrl-C.

#include "cli/commands.h"
#include "discovery/bin_file_manager.h"
#include "discovery/board_manager.h"
#include "job/message_queue.h"
#include "platform/console.h"
#include "platform/machine.h"
#include "platform/paths.h"

#include <CLI/CLI.hpp>

#include <atomic>
#include <iostream>
#include <memory>

namespace {

struct ListOptions {
    bool watch = false;
    std::string folder;
    DeviceTreeRoots roots;
};

// The monitors' listener: posts, so that every reading happens on the main
// thread, as in the dialog.
class PostingListener final : public ILoaderManager {
public:
    explicit PostingListener(IMessageTarget& target) : target(target) {}
    void OnBinFilesChanged() override { target.Post(WM_BINFILES_CHANGED, 0, 0); }
    void OnComPortsChanged() override { target.Post(WM_COMPORTS_CHANGED, 0, 0); }
    void OnJLinkChanged() override { target.Post(WM_JLINK_CHANGED, 0, 0); }
    void OnMonitorFailed(const std::string& text) override { std::cerr << text << std::endl; }

private:
    IMessageTarget& target;
};

struct Machine {
    explicit Machine(const ListOptions& options, ILoaderManager& listener)
        : ports(MakePortMapSource(options.roots)), probes(MakeProbeSource(options.roots)),
          folderSource(MakeFolderSource()), images(&listener, *folderSource, options.folder),
          board(&listener, *ports, *probes)
    {
    }
    std::unique_ptr<IPortMapSource> ports;
    std::unique_ptr<IProbeSource> probes;
    std::unique_ptr<IFolderSource> folderSource;
    CBinFileManager images;
    CBoardManager board;
};

void PrintPorts(const Machine& machine)
{
    const auto ports = machine.board.ComPorts().Ports();
    if (ports.empty())
        std::cout << "No board detected\n";
    for (const std::string& port : ports)
        std::cout << "Board on " << port << "\n";
    std::cout << std::flush;
}

void PrintProbe(const Machine& machine)
{
    std::cout << (machine.board.JLink().IsPresent() ? "J-Link is active" : "No J-Link detected") << std::endl;
}

void PrintImage(const Machine& machine, const std::string& folder)
{
    if (const auto current = machine.images.GetCurrent())
        std::cout << "Image " << current->name << " (" << current->path << ")" << std::endl;
    else
        std::cout << "No *.bin file found in " << folder << std::endl;
}

int RunList(ListOptions options)
{
    if (options.folder.empty())
        options.folder = ProgramFolder();
    bool printing = false;
    std::unique_ptr<Machine> machine;
    CMessageQueue queue([&](unsigned message, WParam, LParam) {
        if (!printing)
            return LParam{0};
        if (message == WM_COMPORTS_CHANGED)
            PrintPorts(*machine);
        else if (message == WM_JLINK_CHANGED)
            PrintProbe(*machine);
        else if (message == WM_BINFILES_CHANGED)
            PrintImage(*machine, options.folder);
        return LParam{0};
    });
    PostingListener listener(queue);
    // Ctrl-C ends the watch in order instead of killing the process mid-line;
    // taken before any watch thread starts.
    std::atomic<bool> stopping{false};
    std::unique_ptr<ConsoleStopWatch> stopWatch;
    if (options.watch)
        stopWatch = std::make_unique<ConsoleStopWatch>([&] {
            stopping = true;
            queue.Wake();
        });
    machine = std::make_unique<Machine>(options, listener);
    machine->images.Start();
    machine->board.Start();
    queue.DispatchPending();  // the probe's first reading: printed below with the rest
    PrintPorts(*machine);
    PrintProbe(*machine);
    PrintImage(*machine, options.folder);
    if (options.watch) {
        printing = true;
        while (!stopping)
            queue.DispatchFor(std::chrono::hours(1));
    }
    machine.reset();  // stops every watch thread before the queue goes
    stopWatch.reset();
    return kExitSuccess;
}

}  // namespace

void AddListCommand(CLI::App& app, CommandRunner& runner)
{
    auto options = std::make_shared<ListOptions>();
    CLI::App* command = app.add_subcommand(
        "list", "Show the boards' serial ports, whether a J-Link probe is attached, and the current image");
    command->add_flag("--watch", options->watch, "keep watching and show every change until Ctrl-C");
    command->add_option("--folder", options->folder, "image folder (default: the program's folder)")
        ->check(CLI::ExistingDirectory);
    if (MachineHasDeviceTree()) {
        command->add_option("--sysfs-root", options->roots.sysfs,
                            "where sysfs is read (for tests; default /sys)");
        command->add_option("--dev-root", options->roots.dev,
                            "where device nodes are found (for tests; default /dev)");
    }
    command->callback([options, &runner] { runner = [options] { return RunList(*options); }; });
}
