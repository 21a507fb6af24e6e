#include "discovery/com_port_manager.h"

#include "discovery/port_list.h"

CComPortManager::CComPortManager(IBoardManager* owner, IPortMapSource& source) : owner(owner), source(source) {}

CComPortManager::~CComPortManager() { Stop(); }

void CComPortManager::Start()
{
    if (!source.Open()) {
        owner->OnMonitorFailed("Error in " + source.FailedCall());
        return;
    }
    // Armed before the first reading, so no change in between is lost.
    const bool watching = source.Watch();
    Refresh();
    if (!watching) {
        owner->OnMonitorFailed(WatchFailureText(source));
        return;
    }
    watchThread.Start([this] { Watch(); });
}

void CComPortManager::Refresh()
{
    const std::lock_guard lock(listLock);
    MergePortList(ports, source.ReadPorts());
}

void CComPortManager::Stop()
{
    watchThread.Stop([this] { source.Wake(); });
}

std::vector<std::string> CComPortManager::Ports() const
{
    const std::lock_guard lock(listLock);
    return ports;
}

void CComPortManager::Watch()
{
    WatchChanges(
        watchThread, source,
        [this] {
            Refresh();
            owner->OnComPortsChanged();
        },
        [this](const std::string& text) { owner->OnMonitorFailed(text); });
}
