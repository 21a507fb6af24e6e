#pragma once
// The serial ports at which a board can appear, kept current by a watch
// thread. The first reading tells nobody; every change of the machine's
// port map afterwards tells the owner, also one that leaves the list as it
// was.

#include "discovery/observers.h"
#include "discovery/watch_thread.h"
#include "platform/port_map_source.h"

#include <mutex>
#include <string>
#include <vector>

class CComPortManager {
public:
    // `source` must outlive the monitor.
    CComPortManager(IBoardManager* owner, IPortMapSource& source);
    ~CComPortManager();
    CComPortManager(const CComPortManager&) = delete;
    CComPortManager& operator=(const CComPortManager&) = delete;

    // Opens the map, reads it once and starts watching. When the map cannot
    // be opened, the list stays empty and nothing is watched.
    void Start();
    // Brings the list in line with the machine.
    void Refresh();
    // Ends the watch thread and waits for it.
    void Stop();

    // A consistent copy of the list: never half a refresh.
    std::vector<std::string> Ports() const;

private:
    void Watch();

    IBoardManager* owner;
    IPortMapSource& source;
    mutable std::mutex listLock;
    std::vector<std::string> ports;
    CWatchThread watchThread;
};
