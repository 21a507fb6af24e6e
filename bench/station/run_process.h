#pragma once
// Runs the command line as a production line's script would.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Writes `length` pseudo-random bytes, the same on every run, to fw.bin in
// `folder` and returns its path.
std::string WriteBenchImage(const std::string& folder, std::size_t length);

// Runs `argv` with its output (both streams) in `log`; its exit code, or -1.
int RunProcess(std::vector<std::string> argv, const std::string& log);

// Starts `boards` simulated boards in `folder`, gives the station in `argv`
// their ports, runs it and returns how long it took. Nothing, with `error`
// set, when a simulator did not start or a board was not programmed (the
// station's log follows then).
std::optional<double> TimeStationOnSimulatedBoards(std::vector<std::string> argv,
                                                   const std::string& folder, int boards,
                                                   std::string& error);
