#include "cli/flash_command.h"

#include "cli/commands.h"
#include "cli/mac_option.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <limits>
#include <memory>
#include <string>

namespace {

// A plain word on what the wait takes, instead of the parser's own.
CLI::Validator WholeSeconds()
{
    return CLI::Validator(
        [](const std::string& text) -> std::string {
            int seconds = 0;
            const char* end = text.data() + text.size();
            const auto [stop, error] = std::from_chars(text.data(), end, seconds);
            if (error == std::errc() && stop == end && seconds >= 1)
                return {};
            return "takes a whole number of seconds from 1 to " +
                   std::to_string(std::numeric_limits<int>::max()) + ", not '" + text + "'";
        },
        "SECONDS");
}

}  // namespace

void AddFlashCommand(CLI::App& app, CommandRunner& runner)
{
    auto options = std::make_shared<FlashOptions>();
    CLI::App* command = app.add_subcommand(
        "flash", "Program a board over its serial port (--port) or through a J-Link probe (--jlink)");
    command
        ->add_option("IMAGE", options->image,
                     "raw image, or S-record when it ends in s19, .srec, .s28, .s37 or .mot")
        ->required();
    AddMacOption(*command, options->mac);
    auto* port = command->add_option("--port", options->port,
                                      "the board's serial port: ttyUSB0, or a device path");
    auto* jlink = command->add_flag("--jlink", options->jlink, "program through the J-Link tool");
    port->excludes(jlink);
    command->add_option("--jlink-tool", options->jlinkTool,
                        "the J-Link command-line tool to run (default: jlink/JLinkExe below the "
                        "program folder)")
        ->needs(jlink);
    command->add_option("--timing", options->timing,
                        "serial waits: prompt (end as soon as the board has answered) or fixed "
                        "(always wait the full time)")
        ->check(CLI::IsMember({"prompt", "fixed"}))
        ->needs(port);
    command->add_option("--wait-seconds", options->waitSeconds,
                        "serial: give up when no board has answered within this time")
        ->check(WholeSeconds())
        ->needs(port);
    AddEventsOption(*command, options->events);
    command->callback([options, &runner] {
        if (!options->jlink && options->port.empty())
            throw CLI::RequiredError("--port or --jlink");
        runner = [options] {
            return options->jlink ? RunJLinkFlash(*options) : RunSerialFlash(*options);
        };
    });
}
