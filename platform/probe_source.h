#pragma once
// How many J-Link probes are attached, and a wait for that to change.

#include "platform/change_wait.h"

#include <optional>
#include <string>

class IProbeSource {
public:
    virtual ~IProbeSource() = default;

    // False when the machine cannot tell about probes at all (no USB).
    virtual bool Open() = 0;
    // Arms the change notification, before the first reading.
    virtual bool Watch() = 0;
    // Number of attached probes; nothing when it cannot be read this time.
    virtual std::optional<int> CountProbes() = 0;
    virtual WaitOutcome WaitForChange() = 0;
    virtual void Wake() = 0;
    virtual std::string FailedCall() const = 0;
};
