// The port list's merge rule.

#include "discovery/port_list.h"

#include <gtest/gtest.h>

namespace {

using Ports = std::vector<std::string>;

struct Merge {
    const char* name;
    Ports before;
    Ports fresh;
    Ports after;
};
void PrintTo(const Merge& c, std::ostream* os) { *os << c.name; }

class PortListMerge : public ::testing::TestWithParam<Merge> {};

TEST_P(PortListMerge, SurvivorsKeepTheirPlaceNewPortsAreAppendedOnce)
{
    const Merge& c = GetParam();
    Ports list = c.before;
    MergePortList(list, c.fresh);
    EXPECT_EQ(list, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortListMerge,
    ::testing::Values(
        Merge{"first_reading", {}, {"ttyUSB5", "ttyUSB7"}, {"ttyUSB5", "ttyUSB7"}},
        Merge{"board_unplugged", {"ttyUSB5", "ttyUSB7"}, {"ttyUSB7"}, {"ttyUSB7"}},
        Merge{"board_back_is_appended", {"ttyUSB7"}, {"ttyUSB5", "ttyUSB7"}, {"ttyUSB7", "ttyUSB5"}},
        Merge{"last_board_gone", {"ttyACM0"}, {}, {}},
        Merge{"nothing_changed", {"ttyUSB1", "ttyUSB0"}, {"ttyUSB0", "ttyUSB1"}, {"ttyUSB1", "ttyUSB0"}},
        Merge{"listed_twice_appended_once", {}, {"ttyUSB0", "ttyUSB0", "ttyACM0"}, {"ttyUSB0", "ttyACM0"}},
        Merge{"case_matters", {"ttyUSB0"}, {"TTYUSB0"}, {"TTYUSB0"}},
        Merge{"swap_one_for_another", {"ttyUSB0", "ttyUSB1", "ttyUSB2"}, {"ttyUSB3", "ttyUSB2", "ttyUSB0"},
              {"ttyUSB0", "ttyUSB2", "ttyUSB3"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
