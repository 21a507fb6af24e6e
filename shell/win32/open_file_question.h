#pragma once
// "Browse..." on Windows: the system's open-file box asking the dialog's
// question.

#include "wizard/dialog_ui.h"

#include <windows.h>

#include <optional>
#include <string>

// The filter list as the box takes it: description and patterns (joined by
// ';') in pairs, each ended by a null, the list by a second null.
std::wstring FilterText(const OpenFileQuestion& question);

// The chosen path (UTF-8), or none when the user cancelled.
std::optional<std::string> AskOpenFileName(HWND owner, const OpenFileQuestion& question);
