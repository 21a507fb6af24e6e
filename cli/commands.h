#pragma once
// The subcommands of quillmark-flash. Each one registers itself on the
// application and, when chosen, leaves its body in `runner`, which returns
// the process's exit code.

#include <functional>

namespace CLI {
class App;
}

using CommandRunner = std::function<int()>;

// Exit codes shared by every command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

void AddInspectCommand(CLI::App& app, CommandRunner& runner);
void AddFlashCommand(CLI::App& app, CommandRunner& runner);
void AddListCommand(CLI::App& app, CommandRunner& runner);
void AddStationCommand(CLI::App& app, CommandRunner& runner);
void AddPoolCommand(CLI::App& app, CommandRunner& runner);
