#include "app/loader_manager.h"
#include "images/prepare_request.h"

#include <utility>

CLoaderManager::CLoaderManager(IMessageTarget& dialog, LoaderParts parts)
    : dialog(dialog),
      parts(std::move(parts)),
      bins(std::make_unique<CBinFileManager>(this, this->parts.folderSource,
                                             this->parts.programFolder)),
      boards(std::make_unique<CBoardManager>(this, this->parts.portSource,
                                             this->parts.probeSource))
{
}

CLoaderManager::~CLoaderManager()
{
    bins->Stop();
    boards->Stop();
    StopSerialJob();
    // The window is going: a tool still programming is ended rather than
    // left to run unseen for minutes.
    if (jlink) {
        jlink->writer->Abort();
        jlink->writer->Wait(parts.whileWaiting);
    }
}

void CLoaderManager::OnBinFilesChanged() { dialog.Post(WM_BINFILES_CHANGED, 0, 0); }

void CLoaderManager::OnComPortsChanged() { dialog.Post(WM_COMPORTS_CHANGED, 0, 0); }

void CLoaderManager::OnJLinkChanged() { dialog.Post(WM_JLINK_CHANGED, 0, 0); }

// Kept until the dialog takes it: a posted message carries no text.
void CLoaderManager::OnMonitorFailed(const std::string& text)
{
    {
        const std::lock_guard lock(failuresLock);
        monitorFailures.push_back(text);
    }
    dialog.Post(WM_MONITOR_FAILED, 0, 0);
}

std::vector<std::string> CLoaderManager::TakeMonitorFailures()
{
    const std::lock_guard lock(failuresLock);
    return std::exchange(monitorFailures, {});
}

void CLoaderManager::StartImageMonitor() { bins->Start(); }

void CLoaderManager::StartBoardMonitors() { boards->Start(); }

std::optional<CBinFile> CLoaderManager::CurrentImage() { return bins->GetCurrent(); }

void CLoaderManager::SetBrowsedFile(const std::string& path) { bins->SetBrowsedFile(path); }

void CLoaderManager::ResetToFolder() { bins->ResetToFolder(); }

std::vector<std::string> CLoaderManager::BoardPorts() { return boards->ComPorts().Ports(); }

bool CLoaderManager::ProbePresent() { return boards->JLink().IsPresent(); }

bool CLoaderManager::StartSerialJob(const std::string& port, const std::string& mac,
                                    const CBinFile& entry)
{
    StopSerialJob();
    serial = std::make_unique<SerialJob>(&jobReports, parts.serialPorts, parts.serialTiming);
    serial->request.portName = port;
    // A job never runs on an image that is not in memory.
    const ImageLoad load = PrepareRequest(serial->request, entry.path, entry.name, mac);
    for (const std::string& message : load.Messages())
        jobReports.OnMessage(message);
    if (!load) {
        serial.reset();
        return false;
    }
    serial->writer->Start();
    return true;
}

bool CLoaderManager::StartJLinkJob(const std::string& mac, const CBinFile& entry)
{
    // The previous job may still be cleaning up after its last status.
    return ::StartJLinkJob(jlink, &jobReports, parts.jlinkSettings, entry.path, entry.name, mac,
                           parts.whileWaiting);
}

bool CLoaderManager::HasSerialJob() { return serial != nullptr; }

void CLoaderManager::StopSerialJob()
{
    if (!serial)
        return;
    serial->writer->Stop(parts.whileWaiting);
    serial.reset();
}
