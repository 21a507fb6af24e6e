#include "platform/system_support.h"

// Every Linux that builds the programs runs them.
std::optional<std::string> SystemRefusal() { return std::nullopt; }
