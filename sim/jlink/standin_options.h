#pragma once
// The stand-in's test options. Its command line is the tool's own, fixed by
// the job, so the options come from the environment (see main.cpp).

#include <string>

enum class StandInFault { None, NoProbe, Error, SplitError, Hang, Crash, Flood };

// How the tool echoes a loadbin: the current "Downloading file [...]" or the
// older "Loading binary file... [...]".
enum class EchoStyle { Downloading, Loading };

struct StandInOptions {
    double sleepScale = 1.0;
    std::string flashFile;
    std::string keepJobIn;  // copy the script's folder here before running it
    StandInFault fault = StandInFault::None;
    EchoStyle echo = EchoStyle::Downloading;
};

// Reads the options; an unknown value is reported in `problem`.
StandInOptions ReadStandInOptions(std::string& problem);
