#include "app/status_table.h"

#include <gtest/gtest.h>

namespace {

struct Row {
    std::int32_t code;
    const char* text;
    ColorRef color;
    ButtonsEffect buttons;
    InstructionsEffect instructions;
};

using B = ButtonsEffect;
using I = InstructionsEffect;

class StatusTable : public ::testing::TestWithParam<Row> {};

TEST_P(StatusTable, LooksUpTextColorAndEffects)
{
    const Row& expected = GetParam();
    const StatusRow& row = LookupStatus(expected.code);
    EXPECT_EQ(row.text, expected.text);
    EXPECT_EQ(row.color, expected.color);
    EXPECT_EQ(row.buttons, expected.buttons);
    EXPECT_EQ(row.instructions, expected.instructions);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, StatusTable,
    ::testing::Values(
        Row{1, "Opening port...", 0, B::Disable, I::AsIs},
        Row{2, "Opened USB connection", 0, B::Disable, I::AsIs},
        Row{3, "Failed to open port.", 255, B::Enable, I::AsIs},
        Row{4, "Connected", 0, B::Disable, I::Hide},
        Row{5, "Waiting for user to press the board reset switch or to erase the flash...", 0,
            B::Enable, I::Show},
        Row{6, "Starting programming...", 0, B::Disable, I::Hide},
        Row{7, "Firmware update successful! Please reset the board.", 35840, B::Enable, I::Hide},
        Row{8, "Starting loading bootloader...", 0, B::Disable, I::Hide},
        Row{9, "Bootloader loading error", 255, B::Enable, I::Hide},
        Row{10, "Flash Erased", 0, B::Disable, I::Hide},
        Row{11, "Error Erasing", 255, B::Enable, I::Hide},
        Row{12, "Could not read/open file", 255, B::Enable, I::Hide},
        Row{13, "Bootloader loaded", 0, B::Disable, I::Hide},
        Row{14, "Programming Flash...", 0, B::Disable, I::Hide},
        Row{15, "Error during flash programming. Go Back and try again.", 255, B::Enable, I::Hide},
        Row{22, "Board disconnected. Waiting for board to be reconnected...", 0, B::Enable, I::Show},
        Row{23, "Board reconnected.", 0, B::Disable, I::AsIs},
        Row{0, "N/A", 0, B::AsIs, I::AsIs}, Row{16, "N/A", 0, B::AsIs, I::AsIs},
        Row{17, "N/A", 0, B::AsIs, I::AsIs}, Row{21, "N/A", 0, B::AsIs, I::AsIs},
        Row{24, "N/A", 0, B::AsIs, I::AsIs}, Row{99, "N/A", 0, B::AsIs, I::AsIs},
        Row{-1, "N/A", 0, B::AsIs, I::AsIs}));

// A job that has ended, or waits, lets the user leave; one at work does not.
// Only an end shows in color: red for a failure, green for the success. A
// failed open is red but no end: the serial job goes on reopening the port.
TEST(StatusTable, OutcomesAgreeWithButtonsAndColors)
{
    std::vector<std::int32_t> failures;
    for (const StatusRow& row : AssignedStatusRows()) {
        const bool working = row.outcome == JobOutcome::Working;
        EXPECT_EQ(row.buttons, working ? ButtonsEffect::Disable : ButtonsEffect::Enable) << row.code;
        EXPECT_EQ(row.outcome == JobOutcome::Succeeded, row.color == kGreen) << row.code;
        if (row.outcome == JobOutcome::Failed) {
            EXPECT_EQ(row.color, kRed) << row.code;
        }
        if (IsFailureStatus(row))
            failures.push_back(row.code);
    }
    EXPECT_EQ(failures, (std::vector<std::int32_t>{9, 11, 12, 15}));
    EXPECT_EQ(LookupStatus(kStatusOpenFailed).outcome, JobOutcome::Waiting);
}

}  // namespace
