#pragma once
// Where the program lives and where it may put temporary files.

#include <string>

// The folder of the running executable, without a trailing separator.
std::string ProgramFolder();

// The folder for temporary files: $TMPDIR, else /tmp; without a trailing
// separator.
std::string TempFolder();
