#pragma once
// The board's end of the cable: a pseudo-terminal whose host side is reached
// through a stable link path. Unplugging closes it and removes the link;
// plugging in makes a new one and points the link at it. It also notices when
// the last host lets go of the port.

#include <string>

class PtyLink {
public:
    explicit PtyLink(std::string linkPath);
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    bool Plug();
    void Unplug();

    bool Plugged() const { return master >= 0; }
    int Master() const { return master; }

    // Readable when hosts have opened or closed the port (-1: not watched).
    int HostWatch() const { return watch; }
    // Takes in the opens and closes noticed so far. True when, among them,
    // the last host that had the port open closed it.
    bool HostsLeft();
    // Drops what the hosts wrote and the board has not read, and what the
    // board wrote and no host has read.
    void DiscardInFlight();

private:
    std::string linkPath;
    int master = -1;
    // Held open so that the board's side keeps working while no host has
    // the port open. For the same reason the master never sees a hang-up,
    // so the hosts' opens and closes are watched on the device instead.
    int slave = -1;
    int watch = -1;
    int hostsOpen = 0;
};
