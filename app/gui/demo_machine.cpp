#include "app/gui/demo_machine.h"

#include "jlink/machine_settings.h"
#include "platform/paths.h"
#include "sim/sim_process.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kDemoImageLength = 24 * 1024;

// The demo's helpers sit beside the program or in the helper folder of its
// installation (QUILLMARK_HELPER_FOLDER, relative to the program's folder),
// and in the build tree while it is run from there. Empty when none has it.
std::string FindHelper(const char* name, const char* buildTreePath)
{
    const fs::path program = ::ProgramFolder();
    std::error_code ignored;
    for (const fs::path& path : {program / name, program / QUILLMARK_HELPER_FOLDER / name,
                                 fs::path(buildTreePath)}) {
        if (fs::exists(path, ignored))
            return path.lexically_normal().string();
    }
    return {};
}

std::string MissingHelper(const char* name)
{
    return std::string("cannot find ") + name + " beside the program or in " +
           (fs::path(::ProgramFolder()) / QUILLMARK_HELPER_FOLDER).lexically_normal().string();
}

}  // namespace

CDemoMachine::CDemoMachine(DemoOptions options) : options(std::move(options)) {}

std::unique_ptr<CDemoMachine> CDemoMachine::Create(std::string& error, DemoOptions options)
{
    std::unique_ptr<CDemoMachine> demo(new CDemoMachine(std::move(options)));
    if (!demo->MakeFolder(error) || !demo->WriteDemoImage(error) ||
        !demo->InstallStandIn(error) || !demo->StartBoard(error))
        return nullptr;
    return demo;
}

CDemoMachine::~CDemoMachine()
{
    StopBoard();
    std::error_code ignored;
    if (!folder.empty())
        fs::remove_all(folder, ignored);
}

bool CDemoMachine::MakeFolder(std::string& error)
{
    std::string pattern = TempFolder() + "/quillmark-demo-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        error = "cannot create a demo folder below " + TempFolder();
        return false;
    }
    folder = pattern;
    link = folder + "/" + portName;
    std::error_code failure;
    for (const std::string& inside : {JobTempFolder(), FlashFolder()}) {
        fs::create_directory(inside, failure);
        if (failure) {
            error = "cannot create " + inside + ": " + failure.message();
            return false;
        }
    }
    return true;
}

bool CDemoMachine::WriteDemoImage(std::string& error)
{
    std::string image = "QUILLMARK DEMO FIRMWARE ";
    std::mt19937 engine(2026);
    while (image.size() < kDemoImageLength)
        image.push_back(static_cast<char>(engine()));
    std::ofstream out(ImagePath(), std::ios::binary);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    if (!out.flush()) {
        error = "cannot write the demo image";
        return false;
    }
    return true;
}

bool CDemoMachine::InstallStandIn(std::string& error)
{
    const std::string standIn = FindHelper("jlink-standin", QUILLMARK_JLINK_STANDIN);
    if (standIn.empty()) {
        error = MissingHelper("jlink-standin");
        return false;
    }
    std::error_code failure;
    fs::create_directory(folder + "/jlink", failure);
    if (!failure)
        fs::create_symlink(standIn, folder + "/jlink/JLinkExe", failure);
    if (failure)
        error = "cannot install the J-Link stand-in: " + failure.message();
    return !failure;
}

bool CDemoMachine::StartBoard(std::string& error)
{
    const std::string simulator = FindHelper("velkan-board-sim", QUILLMARK_BOARD_SIM);
    if (simulator.empty()) {
        error = MissingHelper("velkan-board-sim");
        return false;
    }
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

void CDemoMachine::StopBoard()
{
    if (board)
        board->Stop();
}

JLinkSettings CDemoMachine::JLinkSettingsForDemo() const
{
    JLinkSettings settings = MachineJLinkSettings();
    settings.programFolder = folder;
    settings.tempFolder = JobTempFolder();
    // The script's waits, shortened so the whole update takes a few seconds.
    settings.toolEnvironment = {
        "QUILLMARK_JLINK_SLEEP_SCALE=" + std::to_string(options.jlinkSleepScale),
        "QUILLMARK_JLINK_FLASH_FILE=" + ProbeFlashPath()};
    return settings;
}

MachineParts CDemoMachine::PlugIn(const DemoParts& parts) const
{
    parts.serialPorts.AddPortAlias(portName, link);
    parts.ports.AddExtraPort(portName);
    return MachineParts{parts.folders,       folder,
                         parts.ports,         parts.probes,
                         parts.serialPorts,   SerialTiming::Prompt(),
                         JLinkSettingsForDemo(), parts.whileWaiting};
}
