// quillmark.exe: the firmware update wizard on Windows. With --demo it runs
// on a simulated board inside the program and the J-Link stand-in instead of
// hardware.

#include "app/demo_probe_source.h"
#include "app/loader_manager.h"
#include "jlink/machine_settings.h"
#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/system_support.h"
#include "platform/win32/wide_text.h"
#include "shell/win32/demo_bench.h"
#include "shell/win32/firmware_dialog.h"
#include "shell/win32/window_message_box.h"

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

constexpr char kUsage[] =
    "Usage: quillmark [--demo] [--version] [--help]\n"
    "Updates the firmware of a Velkan USB dongle / 802.15.4 sniffer board.\n"
    "  --demo     Run on a simulated board and a J-Link stand-in instead of hardware.\n"
    "  --version  Print the version and end.\n";

std::vector<std::string> Arguments()
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int k = 1; k < count; ++k)
        arguments.push_back(Narrow(wide[k]));
    LocalFree(wide);
    return arguments;
}

// A window program has no console of its own; text for the user goes to the
// console it was started from, if any.
void Print(const std::string& text, DWORD stream)
{
    AttachConsole(ATTACH_PARENT_PROCESS);
    DWORD written = 0;
    WriteFile(GetStdHandle(stream), text.data(), static_cast<DWORD>(text.size()), &written,
              nullptr);
}

void DeliverWhileWaiting() { CWindowMessageTarget::DeliverPending(20); }

int RunDialog(const CVelkanFirmwareGUIDlg::ServicesFactory& makeLoaderManager,
              CWindowMessageBoxSink& messageBox)
{
    CVelkanFirmwareGUIDlg dialog(makeLoaderManager);
    dialog.messageBox = &messageBox;
    // Every box is owned by the window, also one raised while it starts.
    dialog.onWindowCreated = [&messageBox](HWND window) { messageBox.SetOwner(window); };
    if (!dialog.Create()) {
        messageBox.SetOwner(nullptr);
        messageBox.Show("The window cannot be created: " + SystemErrorText(GetLastError()));
        return 1;
    }
    const int result = dialog.RunModal();
    messageBox.SetOwner(nullptr);
    return result;
}

int RunOnDemo(CWindowMessageBoxSink& messageBox, IFolderSource& folders, IPortMapSource& ports,
              ISerialPortFactory& serialPorts)
{
    std::string error;
    const auto demo = CDemoBench::Create(error);
    if (!demo) {
        messageBox.Show("The demo cannot start: " + error);
        return 1;
    }
    CDemoProbeSource probes;
    const LoaderParts parts =
        demo->PlugIn(DemoParts{folders, ports, serialPorts, probes, DeliverWhileWaiting});
    return RunDialog(
        [&](IMessageTarget& window) { return std::make_unique<CLoaderManager>(window, parts); },
        messageBox);
}

int RunOnMachine(CWindowMessageBoxSink& messageBox, IFolderSource& folders,
                 IPortMapSource& ports, ISerialPortFactory& serialPorts)
{
    const auto probes = MakeProbeSource();
    const LoaderParts parts{folders,     ProgramFolder(),         ports,
                               *probes,     serialPorts,             SerialTiming::Prompt(),
                               MachineJLinkSettings(), DeliverWhileWaiting};
    return RunDialog(
        [&](IMessageTarget& window) { return std::make_unique<CLoaderManager>(window, parts); },
        messageBox);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    bool demo = false;
    for (const std::string& argument : Arguments()) {
        if (argument == "--demo") {
            demo = true;
        } else if (argument == "--version") {
            Print("Quillmark " QUILLMARK_VERSION "\n", STD_OUTPUT_HANDLE);
            return 0;
        } else if (argument == "--help" || argument == "-h") {
            Print(kUsage, STD_OUTPUT_HANDLE);
            return 0;
        } else {
            Print("quillmark: unknown option " + argument + "\n" + kUsage, STD_ERROR_HANDLE);
            return 2;
        }
    }
    if (const auto refusal = SystemRefusal()) {
        ::MessageBoxW(nullptr, Widen(*refusal).c_str(), L"Quillmark", MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    OleInitialize(nullptr);

    CWindowMessageBoxSink messageBox;
    const auto folders = MakeFolderSource();
    const auto ports = MakePortMapSource();
    const auto serialPorts = MakeSerialPortFactory();
    const int result = demo ? RunOnDemo(messageBox, *folders, *ports, *serialPorts)
                            : RunOnMachine(messageBox, *folders, *ports, *serialPorts);
    OleUninitialize();
    return result;
}
