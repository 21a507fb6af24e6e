#pragma once
// The machine's serial ports at which a board can appear, and a wait for
// them to change.

#include "platform/change_wait.h"

#include <string>
#include <vector>

class IPortMapSource {
public:
    virtual ~IPortMapSource() = default;

    // False when the map cannot be read at all; FailedCall() says why.
    virtual bool Open() = 0;
    // Arms the change notification. Called before the first reading so that
    // no change between the reading and the first wait is lost.
    virtual bool Watch() = 0;
    // The board ports now, in the order the machine lists them, then the
    // extra ports. Port names are the kernel names (ttyUSB0).
    virtual std::vector<std::string> ReadPorts() = 0;
    // Blocks in the operating system's wait until the map changes or Wake().
    virtual WaitOutcome WaitForChange() = 0;
    // Ends a running or the next wait. Safe from any thread.
    virtual void Wake() = 0;

    // Ports the program adds itself (the simulated board's link); adding or
    // removing one wakes the wait, so that the watcher refreshes and notifies.
    virtual void AddExtraPort(const std::string& name) = 0;
    virtual void RemoveExtraPort(const std::string& name) = 0;

    // The call that failed last, for the user's message.
    virtual std::string FailedCall() const = 0;
};
