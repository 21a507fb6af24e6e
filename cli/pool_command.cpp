// quillmark-flash pool: makes a MAC pool and tells how much of it is used,
// for a pool file and a line's database alike.

#include "cli/commands.h"
#include "cli/pool_source.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

namespace {

struct PoolOptions {
    std::string pool;
    std::string first;
    std::string last;
};

CLI::Validator Hex16()
{
    return CLI::Validator(
        [](const std::string& text) -> std::string {
            return ParseMacValue(text) ? "" : "'" + text + "' is not 16 hexadecimal digits";
        },
        "HEX16");
}

int Report(const PoolResult& result)
{
    for (const std::string& warning : result.warnings)
        std::cerr << "Warning: " << warning << "\n";
    if (result.Ok())
        return kExitSuccess;
    std::cerr << result.message << std::endl;
    return kExitFailure;
}

int RunInit(const PoolOptions& options)
{
    const std::uint64_t first = *ParseMacValue(options.first);
    const std::uint64_t last = *ParseMacValue(options.last);
    if (last < first) {
        std::cerr << "--last " << options.last << " lies below --first " << options.first
                  << "; nothing was made." << std::endl;
        return kExitUsage;
    }
    std::string error;
    auto pool = OpenAddressPool(options.pool, error);
    if (!pool) {
        std::cerr << error << std::endl;
        return kExitUsage;
    }
    const int code = Report(pool->Init(first, last));
    if (code == kExitSuccess)
        std::cout << "MAC pool " << pool->Name() << ": range " << MacValueText(first) << " to "
                  << MacValueText(last) << " (" << last - first + 1 << " addresses)" << std::endl;
    return code;
}

int RunStatus(const PoolOptions& options)
{
    std::string error;
    auto pool = OpenAddressPool(options.pool, error);
    if (!pool) {
        std::cerr << error << std::endl;
        return kExitUsage;
    }
    PoolSummary summary;
    const int code = Report(pool->Summarize(summary));
    if (code != kExitSuccess)
        return code;
    std::cout << "MAC pool " << pool->Name() << "\n"
              << "Range: " << MacValueText(summary.first) << " to " << MacValueText(summary.last)
              << "\nUsed: " << summary.used << "\nFailed: " << summary.failed
              << "\nLeft: " << summary.left << "\nLast handed out:";
    if (summary.lastHandedOut.empty())
        std::cout << " none";
    std::cout << "\n";
    for (const std::string& line : summary.lastHandedOut)
        std::cout << "  " << line << "\n";
    std::cout << std::flush;
    return kExitSuccess;
}

}  // namespace

void AddPoolCommand(CLI::App& app, CommandRunner& runner)
{
    auto options = std::make_shared<PoolOptions>();
    CLI::App* command = app.add_subcommand(
        "pool", "Make a MAC pool, or tell how much of it is used (a pool file or postgresql://...)");
    command->require_subcommand(1);
    CLI::App* init = command->add_subcommand("init", "Make a new pool of one range");
    init->add_option("POOL", options->pool, "a pool file to make, or postgresql://...")->required();
    init->add_option("--first", options->first, "the range's first address")
        ->required()
        ->check(Hex16());
    init->add_option("--last", options->last, "the range's last address")->required()->check(Hex16());
    init->callback([options, &runner] { runner = [options] { return RunInit(*options); }; });
    CLI::App* status = command->add_subcommand(
        "status", "The range, how many addresses are used, failed and left, and the last handed out");
    status->add_option("POOL", options->pool, "a pool file, or postgresql://...")->required();
    status->callback([options, &runner] { runner = [options] { return RunStatus(*options); }; });
}
