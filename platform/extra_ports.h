#pragma once
// The ports a program adds to the machine's own (the simulated board's link),
// kept apart from the map so that every reading appends them the same way.
// Safe from any thread.

#include <mutex>
#include <string>
#include <vector>

class CExtraPorts {
public:
    // Whether the set changed: only a change needs the watch woken.
    bool Add(const std::string& name);
    bool Remove(const std::string& name);

    // Appends the extra ports that `ports` does not hold yet, after the map's.
    void AppendTo(std::vector<std::string>& ports) const;

private:
    mutable std::mutex lock;
    std::vector<std::string> names;
};
