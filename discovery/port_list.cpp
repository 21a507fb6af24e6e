#include "discovery/port_list.h"

#include <algorithm>

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

void MergePortList(std::vector<std::string>& list, const std::vector<std::string>& fresh)
{
    std::erase_if(list, [&fresh](const std::string& port) { return !Contains(fresh, port); });
    for (const std::string& port : fresh)
        if (!Contains(list, port))
            list.push_back(port);
}
