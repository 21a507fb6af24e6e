#pragma once
// Runs a shell command line and collects its exit code and its output.

#include <string>
#include <vector>

struct CommandResult {
    int exitCode;        // -1 when the command did not exit normally
    std::string output;  // standard output, then standard error when merged
};

// Standard error is merged into the output.
CommandResult RunCommand(const std::string& commandLine);

// Quotes one argument for the shell.
std::string ShellQuote(const std::string& argument);

// Joins a program and its arguments into a quoted command line.
std::string CommandLine(const std::vector<std::string>& argv);
