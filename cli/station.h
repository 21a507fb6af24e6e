#pragma once
// quillmark-flash station: many boards at once, each with its own serial
// job and its own MAC address from the pool, and a record of every board.

#include "platform/machine.h"

#include <optional>
#include <string>
#include <vector>

struct StationOptions {
    std::string image;
    std::vector<std::string> ports;   // --port, in the order given
    bool all = false;                 // every board port found
    bool watch = false;               // program boards as they are plugged in, until Ctrl-C
    std::string macPool;              // a pool file, or postgresql://...
    std::string report;               // a JSON Lines file, or postgresql://...
    std::string journal;              // where outcomes wait while the database is away
    bool events = false;              // --events json
    std::optional<std::string> mac;   // --mac: one board only
    std::string timing = "prompt";
    int waitSeconds = 30;             // per board: how long to wait for it to answer
    DeviceTreeRoots roots;
};

// Returns the process's exit code.
int RunStation(const StationOptions& options);
