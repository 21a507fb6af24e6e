// quillmark-flash: the command-line companion of the Quillmark dialog, on the
// same jobs, for scripts and production lines.

#include "cli/commands.h"

#include <CLI/CLI.hpp>

int main(int argc, char** argv)
{
    CLI::App app{"quillmark-flash: update the firmware of a Velkan USB dongle / 802.15.4 sniffer board"};
    app.require_subcommand(1);
    CommandRunner runner;
    AddInspectCommand(app, runner);
    AddFlashCommand(app, runner);
    AddListCommand(app, runner);
    AddStationCommand(app, runner);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? kExitSuccess : kExitUsage;
    }
    return runner ? runner() : kExitUsage;
}
