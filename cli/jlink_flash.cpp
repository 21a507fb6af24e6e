// Placeholder until the jlink programming job is built.

#include "cli/commands.h"
#include "cli/flash_command.h"

#include <iostream>

int RunJLinkFlash(const FlashOptions&)
{
    std::cerr << "quillmark-flash: jlink programming is not available in this build yet.\n";
    return kExitFailure;
}
