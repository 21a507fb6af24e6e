// quillmark-flash: the command-line companion of the Quillmark dialog, on the
// same jobs, for scripts and production lines.

#include "cli/commands.h"
#include "platform/console.h"
#include "platform/system_support.h"

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app{"quillmark-flash: update the firmware of a Velkan USB dongle / 802.15.4 sniffer board"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "quillmark-flash " QUILLMARK_VERSION);
    CommandRunner runner;
    AddInspectCommand(app, runner);
    AddFlashCommand(app, runner);
    AddListCommand(app, runner);
    AddStationCommand(app, runner);
    AddPoolCommand(app, runner);
    // Paths and names in UTF-8, as everything inside the program takes them.
    std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? kExitSuccess : kExitUsage;
    }
    if (runner) {
        if (const auto refusal = SystemRefusal()) {
            std::cerr << "quillmark-flash: " << *refusal << "\n";
            return kExitFailure;
        }
    }
    return runner ? runner() : kExitUsage;
}
