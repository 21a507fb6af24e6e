#pragma once
// The listeners of the three monitors. A notification carries no data: it
// says only that something changed, and the receiver reads the monitor's
// current state itself. Implementations post and return at once, so a
// monitor thread never waits for the dialog. A monitor whose watch fails
// says why, for the user; it then watches no more.

#include <string>

// Told by the serial port monitor and the probe monitor.
class IBoardManager {
public:
    virtual ~IBoardManager() = default;
    virtual void OnComPortsChanged() = 0;
    virtual void OnJLinkChanged() = 0;
    virtual void OnMonitorFailed(const std::string& text) = 0;
};

// Told by the board manager and by the image folder monitor.
class ILoaderManager {
public:
    virtual ~ILoaderManager() = default;
    virtual void OnBinFilesChanged() = 0;
    virtual void OnComPortsChanged() = 0;
    virtual void OnJLinkChanged() = 0;
    virtual void OnMonitorFailed(const std::string& text) = 0;
};
