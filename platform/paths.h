#pragma once
// Where the program lives and where it may put temporary files.

#include <string>

// The folder of the running executable, without a trailing separator.
std::string ProgramFolder();

// The folder for temporary files: $TMPDIR, else /tmp; without a trailing
// separator.
std::string TempFolder();

// A folder that only this user can reach, made on first use: the J-Link
// job's files and log live there, so that nobody else on the machine can
// plant or swap them. Usually TempFolder()/quillmark-<uid>; when that is not
// safely ours, $XDG_RUNTIME_DIR/quillmark, else quillmark in the user's cache
// folder ($XDG_CACHE_HOME, or ~/.cache). The same folder on every call; empty
// only when none of them is safe.
std::string PrivateTempFolder();
