#pragma once
// Where the machine's device tree is read: the real one, or a fake tree
// in a temporary folder for tests.

#include <string>

struct MachineRoots {
    std::string sysfs = "/sys";
    std::string dev = "/dev";
};
