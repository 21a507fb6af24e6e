#include "jlink/machine_settings.h"

#include "platform/paths.h"

JLinkSettings MachineJLinkSettings()
{
    JLinkSettings settings;
    settings.programFolder = ProgramFolder();
    settings.tempFolder = PrivateTempFolder();
    settings.startProcess = StartProcess;
    return settings;
}
