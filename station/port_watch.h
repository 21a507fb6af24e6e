#pragma once
// The serial ports at which boards appear, for a watching station.

#include <functional>
#include <string>
#include <vector>

class IPortWatch {
public:
    virtual ~IPortWatch() = default;
    // `changed` may be called from another thread, after every change.
    virtual void Start(std::function<void()> changed) = 0;
    virtual std::vector<std::string> Ports() const = 0;
    // After it returns `changed` is not called again.
    virtual void Stop() = 0;
};
