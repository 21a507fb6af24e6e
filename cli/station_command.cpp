#include "cli/commands.h"
#include "cli/mac_option.h"
#include "cli/station.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>

void AddStationCommand(CLI::App& app, CommandRunner& runner)
{
    auto options = std::make_shared<StationOptions>();
    auto mac = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "station", "Program many boards at once, each with its own MAC address from a pool");
    command
        ->add_option("IMAGE", options->image,
                     "raw image, or S-record when it ends in s19, .srec, .s28, .s37 or .mot")
        ->required();
    auto* port = command->add_option("--port", options->ports,
                                      "a board's serial port: ttyUSB0, or a device path; give it "
                                      "once per board")
                     ->type_name("NAME")
                     ->allow_extra_args(false);
    auto* all = command->add_flag("--all", options->all, "every board port found");
    port->excludes(all);
    command->add_flag("--watch", options->watch,
                      "keep running until Ctrl-C and program every board as it is plugged in");
    command->add_option("--mac-pool", options->macPool,
                        "what hands out each board's MAC address: a pool file (first line: "
                        "range,FIRST,LAST), or a PostgreSQL database (postgresql://...) that the "
                        "stations of a line share");
    command->add_option("--report", options->report,
                        "append one JSON line per board to this file, or one row per board to "
                        "this PostgreSQL database (postgresql://...)");
    command->add_option("--journal", options->journal,
                        "where board outcomes wait while the database cannot be reached (default "
                        "$XDG_STATE_HOME/quillmark-flash/station-journal)")
        ->type_name("FILE");
    AddEventsOption(*command, options->events);
    AddMacOption(*command, *mac);
    command->get_option("--mac")->excludes("--mac-pool");
    command->add_option("--timing", options->timing,
                        "serial waits: prompt (end as soon as the board has answered) or fixed "
                        "(always wait the full time)")
        ->check(CLI::IsMember({"prompt", "fixed"}));
    command->add_option("--wait-seconds", options->waitSeconds,
                        "give up on a board that has not answered within this time (default 30)")
        ->check(CLI::Range(1, 24 * 3600));
    if (MachineHasDeviceTree()) {
        command->add_option("--sysfs-root", options->roots.sysfs,
                            "where sysfs is read (for tests; default /sys)");
        command->add_option("--dev-root", options->roots.dev,
                            "where device nodes are found (for tests; default /dev)");
    }
    command->callback([options, mac, command, &runner] {
        if (!options->all && options->ports.empty())
            throw CLI::RequiredError("--port or --all");
        auto sorted = options->ports;
        std::sort(sorted.begin(), sorted.end());
        if (const auto twice = std::adjacent_find(sorted.begin(), sorted.end()); twice != sorted.end())
            throw CLI::ValidationError("--port", *twice + " is given twice");
        if (command->count("--mac") > 0)
            options->mac = *mac;
        runner = [options] { return RunStation(*options); };
    });
}
