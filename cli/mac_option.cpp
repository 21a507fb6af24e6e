#include "cli/mac_option.h"

#include "flash/flash_layout.h"
#include "job/mac_address.h"

#include <CLI/CLI.hpp>

void AddMacOption(CLI::App& command, std::string& mac)
{
    mac = kDefaultMacText;
    command
        .add_option_function<std::string>(
            "--mac",
            [&mac](const std::string& value) {
                auto parsed = ParseMacArgument(value);
                if (!parsed)
                    throw CLI::ValidationError(
                        "--mac", "'" + value +
                                     "' is not a MAC address: give 16 hexadecimal digits, "
                                     "or 10 that follow 0050C2");
                mac = *parsed;
            },
            "the node's 802.15.4 MAC address, 16 hexadecimal digits (default " +
                std::string(kDefaultMacText) + ")")
        ->type_name("HEX16");
}

void AddEventsOption(CLI::App& command, bool& events)
{
    command
        .add_option_function<std::string>(
            "--events", [&events](const std::string&) { events = true; },
            "json: one JSON object per line on standard output for each status, progress step, "
            "allocation and result; the prose goes to standard error")
        ->check(CLI::IsMember({"json"}))
        ->type_name("FORMAT");
}
