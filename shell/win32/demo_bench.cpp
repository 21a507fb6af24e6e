#include "shell/win32/demo_bench.h"

CDemoBench::CDemoBench(DemoOptions options)
    : options(std::move(options)), board(this->options.board)
{
}

std::unique_ptr<CDemoBench> CDemoBench::Create(std::string& error, DemoOptions options)
{
    std::unique_ptr<CDemoBench> demo(new CDemoBench(std::move(options)));
    const std::string standIn =
        FindDemoHelper("jlink-standin.exe", "", QUILLMARK_JLINK_STANDIN, error);
    if (standIn.empty() || !demo->folder.Make(error, standIn))
        return nullptr;
    return demo;
}

JLinkSettings CDemoBench::JLinkSettingsForDemo() const
{
    return folder.JLinkSettingsForDemo(options.jlinkSleepScale);
}

LoaderParts CDemoBench::PlugIn(const DemoParts& parts)
{
    serialPorts = std::make_unique<InProcessPortFactory>(board, portName, parts.serialPorts);
    parts.ports.AddExtraPort(portName);
    return LoaderParts{parts.folders,       folder.Path(),
                         parts.ports,         parts.probes,
                         *serialPorts,        SerialTiming::Prompt(),
                         JLinkSettingsForDemo(), parts.whileWaiting};
}
