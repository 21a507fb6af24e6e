#include "wizard/status_look.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

// A code outside the table shows in black and leaves the picture as it is.
TEST(StatusLook, CodesOutsideTheTableChangeNothingButTheText)
{
    for (std::int32_t code : {0, 16, 21, 24, -1, INT32_MAX}) {
        const StatusLook look = LookOfStatus(LookupStatus(code));
        EXPECT_EQ(look.color, kBlack) << code;
        EXPECT_EQ(look.instructions, InstructionsEffect::AsIs) << code;
    }
}

// Only an end shows in color, and a failed open: red for a failure, green
// for the success.
TEST(StatusLook, ColorsFollowTheOutcome)
{
    for (const StatusRow& row : AssignedStatusRows()) {
        const ColorRef color = LookOfStatus(row).color;
        EXPECT_EQ(row.outcome == JobOutcome::Succeeded, color == kGreen) << row.code;
        EXPECT_EQ(IsFailureStatus(row) || row.code == kStatusOpenFailed, color == kRed) << row.code;
    }
}

// The picture asks for the user's hand exactly while the board waits for it.
TEST(StatusLook, InstructionsShowWhileTheBoardWaitsForTheUser)
{
    for (const StatusRow& row : AssignedStatusRows()) {
        const bool shown = LookOfStatus(row).instructions == InstructionsEffect::Show;
        EXPECT_EQ(shown, row.code == kStatusWaitingForReset || row.code == kStatusDisconnected)
            << row.code;
    }
}

}  // namespace
