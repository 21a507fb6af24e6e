#pragma once
// What the dialog's logic needs of the rest of the system: the monitors'
// current state and the jobs. The loader manager implements it. Every call is
// made on the dialog's thread; the implementation keeps the readings apart
// from the monitors' own updates, which is why it hands out copies.

#include "discovery/bin_file.h"

#include <optional>
#include <string>
#include <vector>

class IDialogServices {
public:
    virtual ~IDialogServices() = default;

    // First scan of the program folder and the choice of the current image,
    // then the folder watch.
    virtual void StartImageMonitor() = 0;
    // First reading of the serial ports and of the probe, then their watches.
    virtual void StartBoardMonitors() = 0;

    // The image an update would use, or none.
    virtual std::optional<CBinFile> CurrentImage() = 0;
    // The folder the images are looked for in: where the user copies one.
    virtual std::string ImageFolder() = 0;
    // Makes the browsed file current and reports the change.
    virtual void SetBrowsedFile(const std::string& path) = 0;
    // Drops a browsed file, chooses from the folder again, reports the change.
    virtual void ResetToFolder() = 0;

    // The board ports now, in the port monitor's order.
    virtual std::vector<std::string> BoardPorts() = 0;
    virtual bool ProbePresent() = 0;

    // Replace the job of that kind and start the new one. False when the
    // image did not load (reading it has told the user why): no job runs then.
    virtual bool StartSerialJob(const std::string& port, const std::string& mac,
                                const CBinFile& entry) = 0;
    virtual bool StartJLinkJob(const std::string& mac, const CBinFile& entry) = 0;

    virtual bool HasSerialJob() = 0;
    // Stops the serial job, waits for its worker to end and deletes the job.
    // The worker may be blocked sending a status to the dialog meanwhile, so
    // the wait keeps delivering the dialog's pending sends.
    virtual void StopSerialJob() = 0;

    // Why monitors stopped watching since the last call, oldest first: the
    // user must learn that the lists no longer follow the machine.
    virtual std::vector<std::string> TakeMonitorFailures() = 0;
};
