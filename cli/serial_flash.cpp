// Placeholder until the serial programming job is built.

#include "cli/commands.h"
#include "cli/flash_command.h"

#include <iostream>

int RunSerialFlash(const FlashOptions&)
{
    std::cerr << "quillmark-flash: serial programming is not available in this build yet.\n";
    return kExitFailure;
}
