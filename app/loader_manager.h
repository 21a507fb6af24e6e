#pragma once
// The wizard's loader manager: owns the image folder monitor and the board
// manager, turns their changes into messages posted to the dialog, and
// creates, starts, stops and replaces the programming jobs.

#include "discovery/bin_file_manager.h"
#include "discovery/board_manager.h"
#include "discovery/observers.h"
#include "jlink/jlink_job.h"
#include "jlink/jlink_settings.h"
#include "job/job_messages.h"
#include "job/messages.h"
#include "platform/folder_source.h"
#include "platform/port_map_source.h"
#include "platform/probe_source.h"
#include "platform/serial_port.h"
#include "serial/serial_job.h"
#include "serial/serial_timing.h"
#include "wizard/dialog_services.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// What the loader manager is plugged into, this computer's or the demo
// bench's. The sources and the port factory must outlive it.
struct LoaderParts {
    IFolderSource& folderSource;
    std::string programFolder;  // where the images are looked for
    IPortMapSource& portSource;
    IProbeSource& probeSource;
    ISerialPortFactory& serialPorts;
    SerialTiming serialTiming = SerialTiming::Prompt();
    JLinkSettings jlinkSettings;
    // Called by the dialog's thread while it waits for a job's worker, so
    // that the worker's pending send is delivered meanwhile.
    std::function<void()> whileWaiting;
};

class CLoaderManager final : public ILoaderManager, public IDialogServices {
public:
    CLoaderManager(IMessageTarget& dialog, LoaderParts parts);
    // Stops the monitors and waits for the jobs, delivering their messages.
    ~CLoaderManager() override;
    CLoaderManager(const CLoaderManager&) = delete;
    CLoaderManager& operator=(const CLoaderManager&) = delete;

    // ILoaderManager: post only, never wait.
    void OnBinFilesChanged() override;
    void OnComPortsChanged() override;
    void OnJLinkChanged() override;
    void OnMonitorFailed(const std::string& text) override;

    // IDialogServices
    void StartImageMonitor() override;
    void StartBoardMonitors() override;
    std::optional<CBinFile> CurrentImage() override;
    std::string ImageFolder() override { return parts.programFolder; }
    void SetBrowsedFile(const std::string& path) override;
    void ResetToFolder() override;
    std::vector<std::string> BoardPorts() override;
    bool ProbePresent() override;
    bool StartSerialJob(const std::string& port, const std::string& mac,
                        const CBinFile& entry) override;
    bool StartJLinkJob(const std::string& mac, const CBinFile& entry) override;
    bool HasSerialJob() override;
    void StopSerialJob() override;
    std::vector<std::string> TakeMonitorFailures() override;

    CBinFileManager& binFileManager() { return *bins; }
    CBoardManager& boardManager() { return *boards; }
    SerialJob* serialJob() { return serial.get(); }
    JLinkJob* jlinkJob() { return jlink.get(); }

private:
    IMessageTarget& dialog;
    JobMessages jobReports{dialog};  // the jobs' reports as the dialog's messages
    LoaderParts parts;
    std::unique_ptr<CBinFileManager> bins;
    std::unique_ptr<CBoardManager> boards;
    std::unique_ptr<SerialJob> serial;
    std::unique_ptr<JLinkJob> jlink;
    std::mutex failuresLock;  // the monitors' threads add, the dialog's takes
    std::vector<std::string> monitorFailures;
};
