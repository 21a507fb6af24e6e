#pragma once
// Runs the Windows build's programs under wine, in the build's own prefix.

#include "support/run_command.h"

#include <string>
#include <vector>

class WindowsBuild {
public:
    // From QUILLMARK_WINDOWS_BUILD; the test fails when it is not set.
    static const WindowsBuild& Get();

    std::string Program(const std::string& relative) const { return folder + "/" + relative; }
    const std::string& Prefix() const { return prefix; }
    // The user's temporary folder inside the prefix, as Linux reaches it.
    std::string TempFolder() const;

    // Runs `program` (a Linux path to a .exe) with `arguments`; `environment`
    // is "NAME=value" added for it, `launcher` a command that runs the whole
    // (timeout ...). Windows line ends are read as plain ones.
    CommandResult Run(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment = {},
                      const std::vector<std::string>& launcher = {}) const;
    // The command line that Run runs, for a test that starts it itself.
    std::vector<std::string> Command(const std::string& program,
                                     const std::vector<std::string>& arguments,
                                     const std::vector<std::string>& environment = {}) const;

private:
    std::string folder;
    std::string prefix;
};

// The path under which a Windows program in the prefix reaches `linuxPath`
// (wine's drive Z: is the root of the Linux file system).
std::string WindowsPath(const std::string& linuxPath);

// The output a background program has written to `path` so far, with plain
// line ends.
std::string Written(const std::string& path);

// Until `text` has been written to `path` after the last `after` (after
// anything when `after` is empty), or a generous guard ends.
bool WaitForOutput(const std::string& path, const std::string& text, const std::string& after = "");
