#pragma once
// What each status code a job reports says, and where it leaves the job.
// The dialog and the command line both read this table; the jobs write only
// the number. How a status looks in the window is the wizard's business
// (wizard/status_look.h).

#include "job/status_codes.h"

#include <cstdint>
#include <span>
#include <string_view>

// Where the job stands after the status: at work, waiting (for the user or
// the board; it goes on by itself), or ended with success or failure.
enum class JobOutcome { Working, Waiting, Succeeded, Failed };

struct StatusRow {
    std::int32_t code;  // 0 for the row of codes outside the table
    std::string_view text;
    JobOutcome outcome;
};

// The row for a code; codes outside the table get the "N/A" row.
const StatusRow& LookupStatus(std::int32_t code);

// Every assigned row, in code order (the "N/A" row is not among them).
std::span<const StatusRow> AssignedStatusRows();

// The job has ended without success.
inline bool IsFailureStatus(const StatusRow& row) { return row.outcome == JobOutcome::Failed; }

// The job has ended, or waits: the user may leave it.
inline bool LetsTheUserLeave(JobOutcome outcome) { return outcome != JobOutcome::Working; }
