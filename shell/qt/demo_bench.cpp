#include "shell/qt/demo_bench.h"

#include "sim/sim_process.h"

CDemoBench::CDemoBench(DemoOptions options) : options(std::move(options)) {}

std::unique_ptr<CDemoBench> CDemoBench::Create(std::string& error, DemoOptions options)
{
    std::unique_ptr<CDemoBench> demo(new CDemoBench(std::move(options)));
    const std::string standIn =
        FindDemoHelper("jlink-standin", QUILLMARK_HELPER_FOLDER, QUILLMARK_JLINK_STANDIN, error);
    if (standIn.empty() || !demo->folder.Make(error, standIn) || !demo->StartBoard(error))
        return nullptr;
    return demo;
}

// The board goes first: it writes its flash into the folder on its way out.
CDemoBench::~CDemoBench() { StopBoard(); }

bool CDemoBench::StartBoard(std::string& error)
{
    const std::string simulator =
        FindDemoHelper("velkan-board-sim", QUILLMARK_HELPER_FOLDER, QUILLMARK_BOARD_SIM, error);
    if (simulator.empty())
        return false;
    link = folder.Path() + "/" + portName;
    std::vector<std::string> arguments{"--link", link, "--flash-out", BoardFlashPath()};
    arguments.insert(arguments.end(), options.boardArguments.begin(),
                     options.boardArguments.end());
    board = std::make_unique<SimProcess>(arguments, simulator);
    if (!board->Running()) {
        error = "cannot start the simulated board";
        return false;
    }
    if (!board->WaitForPath(link, std::chrono::seconds(5))) {
        error = "the simulated board did not come up";
        return false;
    }
    return true;
}

void CDemoBench::StopBoard()
{
    if (board)
        board->Stop();
}

JLinkSettings CDemoBench::JLinkSettingsForDemo() const
{
    return folder.JLinkSettingsForDemo(options.jlinkSleepScale);
}

LoaderParts CDemoBench::PlugIn(const DemoParts& parts) const
{
    parts.serialPorts.AddPortAlias(portName, link);
    parts.ports.AddExtraPort(portName);
    return LoaderParts{parts.folders,       folder.Path(),
                         parts.ports,         parts.probes,
                         parts.serialPorts,   SerialTiming::Prompt(),
                         JLinkSettingsForDemo(), parts.whileWaiting};
}
