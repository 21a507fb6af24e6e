#include "shell/win32/demo_machine.h"

CDemoMachine::CDemoMachine(DemoOptions options)
    : options(std::move(options)), board(this->options.board)
{
}

std::unique_ptr<CDemoMachine> CDemoMachine::Create(std::string& error, DemoOptions options)
{
    std::unique_ptr<CDemoMachine> demo(new CDemoMachine(std::move(options)));
    const std::string standIn =
        FindDemoHelper("jlink-standin.exe", "", QUILLMARK_JLINK_STANDIN, error);
    if (standIn.empty() || !demo->folder.Make(error, standIn))
        return nullptr;
    return demo;
}

JLinkSettings CDemoMachine::JLinkSettingsForDemo() const
{
    return folder.JLinkSettingsForDemo(options.jlinkSleepScale);
}

MachineParts CDemoMachine::PlugIn(const DemoParts& parts)
{
    serialPorts = std::make_unique<InProcessPortFactory>(board, portName, parts.serialPorts);
    parts.ports.AddExtraPort(portName);
    return MachineParts{parts.folders,       folder.Path(),
                         parts.ports,         parts.probes,
                         *serialPorts,        SerialTiming::Prompt(),
                         JLinkSettingsForDemo(), parts.whileWaiting};
}
