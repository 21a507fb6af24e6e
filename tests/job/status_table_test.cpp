#include "job/status_table.h"

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

TEST(StatusTable, CodesOutsideTheTableReadNA)
{
    for (std::int32_t code : {0, 16, 17, 21, 24, 99, -1, INT32_MAX, INT32_MIN})
        EXPECT_EQ(LookupStatus(code).text, "N/A") << code;
}

// Four statuses end a job in failure; a failed open is no end: the serial job
// goes on reopening the port.
TEST(StatusTable, FailuresAreTheFourEnds)
{
    std::vector<std::int32_t> failures;
    for (const StatusRow& row : AssignedStatusRows()) {
        if (IsFailureStatus(row))
            failures.push_back(row.code);
    }
    EXPECT_EQ(failures, (std::vector<std::int32_t>{kStatusSecondStageLoaderError, kStatusEraseError,
                                                   kStatusFileUnreadable, kStatusProgrammingFailed}));
    EXPECT_EQ(LookupStatus(kStatusOpenFailed).outcome, JobOutcome::Waiting);
    EXPECT_EQ(LookupStatus(kStatusSuccess).outcome, JobOutcome::Succeeded);
}

}  // namespace
