#pragma once
// The port list's merge rule: ports that are still there keep their place,
// ports that have gone are dropped, new ports are appended in the order the
// machine lists them, each once.

#include <string>
#include <vector>

void MergePortList(std::vector<std::string>& list, const std::vector<std::string>& fresh);
