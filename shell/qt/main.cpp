// quillmark: the firmware update wizard. With --demo it runs on a simulated
// board and a J-Link stand-in instead of hardware.

#include "app/demo_probe_source.h"
#include "app/loader_manager.h"
#include "jlink/machine_settings.h"
#include "platform/paths.h"
#include "platform/posix/folder_source.h"
#include "platform/posix/port_map_source.h"
#include "platform/posix/posix_serial_port.h"
#include "platform/posix/probe_source.h"
#include "shell/qt/application_name.h"
#include "shell/qt/demo_bench.h"
#include "shell/qt/exit_cleanup.h"
#include "shell/qt/firmware_dialog.h"
#include "shell/qt/qt_message_box.h"
#include "shell/qt/quit_signals.h"

#include <QApplication>
#include <QCommandLineParser>

#include <iostream>

namespace {

int RunDialog(const CVelkanFirmwareGUIDlg::ServicesFactory& makeLoaderManager,
              QtMessageBoxSink& messageBox)
{
    CVelkanFirmwareGUIDlg dialog(makeLoaderManager);
    dialog.messageBox = &messageBox;
    const CExitCleanup stopJobs([&dialog] { dialog.EndWithoutDisplay(); });
    QuitOnSignals quit([&dialog] { dialog.reject(); });
    messageBox.SetOwner(&dialog);
    dialog.Initialise();
    const int result = dialog.exec();
    // The monitors and jobs stop with the dialog; none may wait for a box then.
    messageBox.Close();
    return result;
}

void DeliverWhileWaiting() { QtMessageTarget::DeliverPending(20); }

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    NameApplication();
    QApplication::setApplicationVersion(QUILLMARK_VERSION);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Updates the firmware of a Velkan USB dongle / 802.15.4 sniffer board.");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demoOption(
        "demo", "Run on a simulated board and a J-Link stand-in instead of hardware.");
    parser.addOption(demoOption);
    parser.process(application);

    QtMessageBoxSink messageBox;
    CPosixFolderSource folders;
    CPosixPortMapSource ports;
    PosixSerialPortFactory serialPorts;
    int result = 0;
    if (parser.isSet(demoOption)) {
        std::string error;
        auto demo = CDemoBench::Create(error);
        if (!demo) {
            std::cerr << "quillmark: the demo cannot start: " << error << "\n";
            return 1;
        }
        const CExitCleanup removeDemo([&demo] { demo.reset(); });
        CDemoProbeSource probes;
        const LoaderParts parts =
            demo->PlugIn(DemoParts{folders, ports, serialPorts, probes, DeliverWhileWaiting});
        result = RunDialog(
            [&](IMessageTarget& window) {
                return std::make_unique<CLoaderManager>(window, parts);
            },
            messageBox);
    } else {
        CPosixProbeSource probes;
        result = RunDialog(
            [&](IMessageTarget& window) {
                return std::make_unique<CLoaderManager>(
                    window, LoaderParts{folders, ProgramFolder(), ports, probes, serialPorts,
                                          SerialTiming::Prompt(), MachineJLinkSettings(),
                                          DeliverWhileWaiting});
            },
            messageBox);
    }
    return result;
}
