// The oldest Windows the programs run on: Windows 10. Under wine the
// prefix's Windows version decides; here the rule itself.

#include "platform/system_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

struct Release {
    const char* name;
    SystemVersion version;
    bool refused;
};
void PrintTo(const Release& r, std::ostream* os) { *os << r.name; }

class OldestWindows : public ::testing::TestWithParam<Release> {};

TEST_P(OldestWindows, IsWindows10)
{
    const auto refusal = WindowsRefusal(GetParam().version);
    EXPECT_EQ(refusal.has_value(), GetParam().refused);
    if (refusal) {
        EXPECT_THAT(*refusal, ::testing::StartsWith("Quillmark needs Windows 10 (64-bit) or later. This computer "
                                                    "runs Windows " +
                                                    std::to_string(GetParam().version.major) + "."));
    }
}

INSTANTIATE_TEST_SUITE_P(Releases, OldestWindows,
                         ::testing::Values(Release{"windows_7", {6, 1, 7601}, true},
                                           Release{"windows_8", {6, 2, 9200}, true},
                                           Release{"windows_8_1", {6, 3, 9600}, true},
                                           Release{"unknown", {0, 0, 0}, true},
                                           Release{"windows_10", {10, 0, 10240}, false},
                                           Release{"windows_11", {10, 0, 22000}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The prefix's wine plays Windows 10 unless told otherwise.
TEST(OldestWindows, ThisMachineIsNotRefused) { EXPECT_EQ(SystemRefusal(), std::nullopt); }

}  // namespace
