#include "app/status_table.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace {

// Every assigned code has one row, found by its code, with a text to show.
TEST(StatusTable, EachCodeHasOneRowWithAText)
{
    std::int32_t previous = 0;
    for (const StatusRow& row : AssignedStatusRows()) {
        EXPECT_GT(row.code, previous) << "codes are unique and in order";
        EXPECT_EQ(&LookupStatus(row.code), &row) << row.code;
        EXPECT_FALSE(row.text.empty()) << row.code;
        EXPECT_NE(row.text, "N/A") << row.code;
        previous = row.code;
    }
}

// A code outside the table shows "N/A" in black and leaves the buttons and
// the picture as they are.
TEST(StatusTable, CodesOutsideTheTableChangeNothingButTheText)
{
    for (std::int32_t code : {0, 16, 17, 21, 24, 99, -1, INT32_MAX, INT32_MIN}) {
        const StatusRow& row = LookupStatus(code);
        EXPECT_EQ(row.text, "N/A") << code;
        EXPECT_EQ(row.color, kBlack) << code;
        EXPECT_EQ(row.buttons, ButtonsEffect::AsIs) << code;
        EXPECT_EQ(row.instructions, InstructionsEffect::AsIs) << code;
    }
}

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
    EXPECT_EQ(failures, (std::vector<std::int32_t>{kStatusLoaderError, kStatusEraseError,
                                                   kStatusFileUnreadable, kStatusProgrammingFailed}));
    EXPECT_EQ(LookupStatus(kStatusOpenFailed).outcome, JobOutcome::Waiting);
}

}  // namespace
