#pragma once
// Where the program lives and where it may put temporary files.

#include <string>

// The folder of the running executable, without a trailing separator.
std::string ProgramFolder();

// The folder for temporary files: $TMPDIR, else /tmp; without a trailing
// separator.
std::string TempFolder();

// A folder below TempFolder() that only this user can reach, made on first
// use: the J-Link job's files and log live there, so that nobody else on the
// machine can plant or swap them. Falls back to a fresh unique folder when
// the usual one is not safely ours; empty when none can be made.
std::string PrivateTempFolder();
