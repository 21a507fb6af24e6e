#pragma once
// Carries out a command script line by line against the simulated target and
// prints what the tool prints, faults included.

#include "sim/jlink/standin_options.h"
#include "sim/jlink/target.h"

#include <cstdio>
#include <string>
#include <vector>

class ScriptRunner {
public:
    ScriptRunner(SimulatedTarget& target, const StandInOptions& options);

    // Carries out every line of `scriptPath` until "q" or its end. Returns
    // the process's exit code.
    int RunScript(const std::string& scriptPath);

private:
    // False after "q".
    bool Execute(const std::string& line);
    void ExecuteOnTarget(const std::string& command, const std::vector<std::string>& args);
    void Print(const std::string& text);
    void PrintError(const std::string& text);

    void LoadBin(const std::vector<std::string>& args);
    void WriteMemory(const std::vector<std::string>& args, int width);
    void DumpMemory(const std::vector<std::string>& args);
    void Sleep(const std::vector<std::string>& args);
    void StrikeAfterFirstPiece(const std::string& echo);
    void Flood();

    SimulatedTarget& target;
    const StandInOptions& options;
    bool connected = true;
    bool struck = false;
};
