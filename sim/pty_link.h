#pragma once
// The board's end of the cable: a pseudo-terminal whose host side is reached
// through a stable link path. Unplugging closes it and removes the link;
// plugging in makes a new one and points the link at it.

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

private:
    std::string linkPath;
    int master = -1;
    // Held open so that the board's side keeps working while no host has
    // the port open.
    int slave = -1;
};
