#pragma once
// Whether a J-Link probe is attached: read at start (one notification) and
// after every change of the machine's probes (one notification each, also
// when the answer stays the same).

#include "discovery/observers.h"
#include "discovery/watch_thread.h"
#include "platform/probe_source.h"

#include <atomic>

class CJLinkManager {
public:
    // `source` must outlive the monitor.
    CJLinkManager(IBoardManager* owner, IProbeSource& source);
    ~CJLinkManager();
    CJLinkManager(const CJLinkManager&) = delete;
    CJLinkManager& operator=(const CJLinkManager&) = delete;

    // Where the machine cannot tell about probes: not present, no
    // notification, no watching, no message.
    void Start();
    void Stop();

    bool IsPresent() const { return present; }

private:
    void Read();
    void Watch();

    IBoardManager* owner;
    IProbeSource& source;
    std::atomic<bool> present{false};
    CWatchThread watchThread;
};
