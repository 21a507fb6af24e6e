#include "platform/extra_ports.h"

#include <algorithm>

bool CExtraPorts::Add(const std::string& name)
{
    const std::lock_guard guard(lock);
    if (std::find(names.begin(), names.end(), name) != names.end())
        return false;
    names.push_back(name);
    return true;
}

bool CExtraPorts::Remove(const std::string& name)
{
    const std::lock_guard guard(lock);
    const auto at = std::find(names.begin(), names.end(), name);
    if (at == names.end())
        return false;
    names.erase(at);
    return true;
}

void CExtraPorts::AppendTo(std::vector<std::string>& ports) const
{
    const std::lock_guard guard(lock);
    for (const std::string& name : names)
        if (std::find(ports.begin(), ports.end(), name) == ports.end())
            ports.push_back(name);
}
