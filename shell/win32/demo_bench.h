#pragma once
// What `quillmark.exe --demo` runs on instead of hardware: the simulated
// board inside the program (Windows has no pseudo-terminals to put it on),
// listed as a board port; the J-Link stand-in installed below a demo program
// folder, with a probe present; and a demo image in that folder. Everything
// is removed again when the demo ends.

#include "app/demo_folder.h"
#include "app/loader_manager.h"
#include "jlink/jlink_settings.h"
#include "sim/in_process_board.h"
#include "sim/sim_options.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct DemoOptions {
    // The board's timing and faults: by default the real board's line and
    // flash times.
    SimOptions board;
    // How much of the J-Link script's waits the stand-in really sleeps.
    double jlinkSleepScale = 0.2;
};

// The parts the demo bench is plugged into; they must outlive the loader
// manager made from them.
struct DemoParts {
    IFolderSource& folders;
    IPortMapSource& ports;
    ISerialPortFactory& serialPorts;  // the machine's own, for every other port
    IProbeSource& probes;             // one that reports a probe, for the stand-in
    std::function<void()> whileWaiting;
};

class CDemoBench {
public:
    // Sets everything up; on failure returns nothing and says why.
    static std::unique_ptr<CDemoBench> Create(std::string& error, DemoOptions options = {});
    CDemoBench(const CDemoBench&) = delete;
    CDemoBench& operator=(const CDemoBench&) = delete;

    const std::string& ProgramFolder() const { return folder.Path(); }
    std::string ImagePath() const { return folder.ImagePath(); }
    const std::string& BoardPortName() const { return portName; }
    JLinkSettings JLinkSettingsForDemo() const;
    std::string JobTempFolder() const { return folder.JobTempFolder(); }
    std::string ProbeFlashPath() const { return folder.ProbeFlashPath(); }
    // What the simulated board's flash holds now.
    std::vector<std::uint8_t> BoardFlash() const { return board.Flash(); }

    // Lists the simulated board as a board port, opened by that name among
    // the machine's own ports, and returns what the loader manager works with
    // in the demo. The demo bench must outlive that loader manager too.
    LoaderParts PlugIn(const DemoParts& parts);

private:
    explicit CDemoBench(DemoOptions options);

    DemoOptions options;
    CDemoFolder folder;
    // Port numbers start at 1 wherever Windows hands them out, so no port of
    // the machine is COM0, yet it reads as the COM port a board is; were a
    // driver to name one so anyway, the demo board would stand in for it
    // during the demo only.
    const std::string portName = "COM0";
    InProcessBoard board;
    std::unique_ptr<InProcessPortFactory> serialPorts;
};
