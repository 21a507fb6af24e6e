#include "app/gui/demo_machine.h"

#include "jlink/machine_settings.h"
#include "platform/paths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kDemoImageLength = 24 * 1024;

// The demo's helpers sit beside the program once installed, and in the build
// tree while it is run from there.
std::string FindHelper(const char* name, const char* buildTreePath)
{
    const fs::path beside = fs::path(::ProgramFolder()) / name;
    if (fs::exists(beside))
        return beside.string();
    return buildTreePath;
}

}  // namespace

std::unique_ptr<CDemoMachine> CDemoMachine::Create(std::string& error)
{
    std::unique_ptr<CDemoMachine> demo(new CDemoMachine);
    if (!demo->MakeFolder(error) || !demo->WriteDemoImage(error) ||
        !demo->InstallStandIn(error) || !demo->StartBoard(error))
        return nullptr;
    return demo;
}

CDemoMachine::~CDemoMachine()
{
    if (board) {
        board->Terminate();
        board->WaitForExit(std::chrono::seconds(2));
    }
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
    return true;
}

bool CDemoMachine::WriteDemoImage(std::string& error)
{
    std::string image = "QUILLMARK DEMO FIRMWARE ";
    std::mt19937 engine(2026);
    while (image.size() < kDemoImageLength)
        image.push_back(static_cast<char>(engine()));
    std::ofstream out(folder + "/demo_firmware.bin", std::ios::binary);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    if (!out.flush()) {
        error = "cannot write the demo image";
        return false;
    }
    return true;
}

bool CDemoMachine::InstallStandIn(std::string& error)
{
    std::error_code failure;
    fs::create_directory(folder + "/jlink", failure);
    if (!failure)
        fs::create_symlink(FindHelper("jlink-standin", QUILLMARK_JLINK_STANDIN),
                           folder + "/jlink/JLinkExe", failure);
    if (failure)
        error = "cannot install the J-Link stand-in: " + failure.message();
    return !failure;
}

bool CDemoMachine::StartBoard(std::string& error)
{
    ProcessStart start{FindHelper("velkan-board-sim", QUILLMARK_BOARD_SIM),
                       {"--link", link, "--flash-out", folder + "/board_flash.bin"},
                       folder,
                       {}};
    board = StartProcess(start, error);
    if (!board)
        return false;
    for (int i = 0; i < 100 && !fs::exists(link); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!fs::exists(link)) {
        error = "the simulated board did not come up";
        return false;
    }
    return true;
}

JLinkSettings CDemoMachine::JLinkSettingsForDemo() const
{
    JLinkSettings settings = MachineJLinkSettings();
    settings.programFolder = folder;
    // The script's waits, shortened so the whole update takes a few seconds.
    settings.toolEnvironment = {"QUILLMARK_JLINK_SLEEP_SCALE=0.2",
                                "QUILLMARK_JLINK_FLASH_FILE=" + folder + "/probe_flash.bin"};
    return settings;
}
