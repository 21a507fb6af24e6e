#pragma once
// What `quillmark --demo` runs on instead of hardware: a simulated board on a
// pseudo-terminal, listed as a board port; the J-Link stand-in installed
// below a demo program folder, with a probe present; and a demo image in that
// folder. Everything is removed again when the demo ends.

#include "jlink/jlink_settings.h"
#include "platform/process.h"

#include <memory>
#include <string>

class CDemoMachine {
public:
    // Sets everything up; on failure returns nothing and says why.
    static std::unique_ptr<CDemoMachine> Create(std::string& error);
    ~CDemoMachine();
    CDemoMachine(const CDemoMachine&) = delete;
    CDemoMachine& operator=(const CDemoMachine&) = delete;

    const std::string& ProgramFolder() const { return folder; }
    // The simulated board's port as the user sees it, and where it really is.
    const std::string& BoardPortName() const { return portName; }
    const std::string& BoardLink() const { return link; }
    JLinkSettings JLinkSettingsForDemo() const;

private:
    CDemoMachine() = default;
    bool MakeFolder(std::string& error);
    bool WriteDemoImage(std::string& error);
    bool InstallStandIn(std::string& error);
    bool StartBoard(std::string& error);

    std::string folder;
    std::string link;
    std::string portName = "ttyVELKAN0";
    std::unique_ptr<IProcess> board;
};
