#pragma once
// Starting a program that never outlives this process. Linux sends the child
// a signal when the thread that started it ends (PR_SET_PDEATHSIG), and a
// killed process ends all its threads: so a SIGKILL, a crash or the OOM
// killer takes the child with it, which no handler of ours could. The
// starting thread must outlive the child, or end it first: the J-Link job's
// worker waits for its tool, and the window's thread owns the demo's board.

#include <csignal>
#include <string>
#include <sys/types.h>
#include <vector>

struct ChildSpawn {
    std::vector<std::string> argv;         // argv[0] is the program's path
    std::vector<std::string> environment;  // "NAME=value"; empty: this process's own
    std::string workingDirectory;          // empty: this process's own
    // Each of these becomes the child's descriptor 0, 1 and 2; -1 keeps ours.
    int input = -1;
    int output = -1;
    int errorOutput = -1;
    // The signal the child gets when this process ends.
    int deathSignal = SIGKILL;
};

// Starts the child; -1 on failure, with `error` saying why (a program that
// cannot be executed fails here, not later).
pid_t SpawnChild(const ChildSpawn& spawn, std::string& error);
