#pragma once
// The demo's program folder, the same on every system: a folder of its own
// below the user's private temporary folder, holding the demo image, the
// J-Link stand-in installed where the job looks for the tool, and apart from
// the images a folder for the job's files and one for the simulated flashes.
// It goes with everything in it when the demo ends; the folder of a demo
// that was killed goes at the next demo's start.

#include "jlink/jlink_settings.h"
#include "platform/owned_folder.h"

#include <memory>
#include <string>

class CDemoFolder {
public:
    CDemoFolder() = default;
    CDemoFolder(const CDemoFolder&) = delete;
    CDemoFolder& operator=(const CDemoFolder&) = delete;

    // Makes the folder and fills it, installing `standIn` as the J-Link tool;
    // on failure says why.
    bool Make(std::string& error, const std::string& standIn);

    const std::string& Path() const { return folder ? folder->Path() : none; }
    std::string ImagePath() const;
    // The J-Link job's files and log: inside the demo folder, so the demo
    // leaves nothing behind and never meets a real job's files in the shared
    // temporary folder; apart from the images, so the folder monitor does not
    // see them come and go.
    std::string JobTempFolder() const;
    // Where the simulated boards keep their flash: a folder of their own,
    // since a flash file among the images would become the newest image and
    // be refused as too long by the next update.
    std::string FlashFolder() const;
    std::string ProbeFlashPath() const;

    // The machine's J-Link settings with the tool, its files and its flash
    // in the demo folder; the script's waits are scaled by `sleepScale`.
    JLinkSettings JLinkSettingsForDemo(double sleepScale) const;

private:
    bool MakeUniqueFolder(std::string& error);
    bool WriteImage(std::string& error);
    bool InstallStandIn(std::string& error, const std::string& standIn);
    std::string Inside(const char* name) const;

    std::unique_ptr<COwnedFolder> folder;
    const std::string none;
};

// One of the demo's helper programs: beside the program, in the helper
// folder of its installation (relative to the program's folder; empty for
// none), else where the build tree has it. Empty when none has it; `error`
// then says where it was looked for.
std::string FindDemoHelper(const std::string& name, const std::string& helperFolder,
                           const std::string& buildTreePath, std::string& error);
