#include "jlink/machine_settings.h"

#include "platform/paths.h"

JLinkSettings MachineJLinkSettings()
{
    JLinkSettings settings;
    settings.programFolder = ProgramFolder();
    settings.tempFolder = TempFolder();
    settings.startProcess = StartProcess;
    return settings;
}
