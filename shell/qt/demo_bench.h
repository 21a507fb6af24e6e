#pragma once
// What `quillmark --demo` runs on instead of hardware: a simulated board on a
// pseudo-terminal, listed as a board port; the J-Link stand-in installed
// below a demo program folder, with a probe present; and a demo image in that
// folder. Everything is removed again when the demo ends.

#include "app/demo_folder.h"
#include "app/loader_manager.h"
#include "jlink/jlink_settings.h"
#include "platform/posix/posix_serial_port.h"

#include <memory>
#include <string>
#include <vector>

class SimProcess;

struct DemoOptions {
    // Passed on to velkan-board-sim (its faults, or --fast for no line time).
    std::vector<std::string> boardArguments;
    // How much of the J-Link script's waits the stand-in really sleeps.
    double jlinkSleepScale = 0.2;
};

// The parts the demo bench is plugged into; they must outlive the loader
// manager made from them.
struct DemoParts {
    IFolderSource& folders;
    IPortMapSource& ports;
    PosixSerialPortFactory& serialPorts;
    IProbeSource& probes;  // one that reports a probe, for the stand-in
    std::function<void()> whileWaiting;
};

class CDemoBench {
public:
    // Sets everything up; on failure returns nothing and says why.
    static std::unique_ptr<CDemoBench> Create(std::string& error, DemoOptions options = {});
    ~CDemoBench();
    CDemoBench(const CDemoBench&) = delete;
    CDemoBench& operator=(const CDemoBench&) = delete;

    const std::string& ProgramFolder() const { return folder.Path(); }
    std::string ImagePath() const { return folder.ImagePath(); }
    // The simulated board's port as the user sees it, and where it really is.
    const std::string& BoardPortName() const { return portName; }
    const std::string& BoardLink() const { return link; }
    JLinkSettings JLinkSettingsForDemo() const;
    std::string JobTempFolder() const { return folder.JobTempFolder(); }

    // Plugs the simulated board in as a board port and returns what the
    // loader manager works with in the demo.
    LoaderParts PlugIn(const DemoParts& parts) const;

    std::string BoardFlashPath() const { return folder.FlashFolder() + "/board_flash.bin"; }
    std::string ProbeFlashPath() const { return folder.ProbeFlashPath(); }
    // Ends the simulated board, which writes its flash to BoardFlashPath()
    // before it goes.
    void StopBoard();

private:
    explicit CDemoBench(DemoOptions options);
    bool StartBoard(std::string& error);

    DemoOptions options;
    CDemoFolder folder;
    std::string link;
    std::string portName = "ttyVELKAN0";
    std::unique_ptr<SimProcess> board;
};
