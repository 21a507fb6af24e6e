#include "discovery/jlink_manager.h"

CJLinkManager::CJLinkManager(IBoardManager* owner, IProbeSource& source) : owner(owner), source(source) {}

CJLinkManager::~CJLinkManager() { Stop(); }

void CJLinkManager::Start()
{
    if (!source.Open())
        return;
    const bool watching = source.Watch();
    Read();
    if (!watching) {
        owner->OnMonitorFailed(WatchFailureText(source));
        return;
    }
    watchThread.Start([this] { Watch(); });
}

void CJLinkManager::Stop()
{
    watchThread.Stop([this] { source.Wake(); });
}

// A reading that fails keeps the last answer; the owner is told all the same.
void CJLinkManager::Read()
{
    if (const auto count = source.CountProbes())
        present = *count > 0;
    owner->OnJLinkChanged();
}

void CJLinkManager::Watch()
{
    WatchChanges(watchThread, source, [this] { Read(); },
                 [this](const std::string& text) { owner->OnMonitorFailed(text); });
}
