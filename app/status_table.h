#pragma once
// What each status code a job reports shows on the result page. The dialog
// and the command line both read this table; the jobs write only the number.

#include "job/status_codes.h"

#include <cstdint>
#include <span>
#include <string_view>

using ColorRef = std::uint32_t;  // 0x00BBGGRR, red in the low byte

inline constexpr ColorRef kBlack = 0;
inline constexpr ColorRef kRed = 255;            // RGB 255, 0, 0
inline constexpr ColorRef kGreen = 35840;        // RGB 0, 140, 0
// Dark enough to read on white (contrast above 4.5:1), light enough to
// stay in the background.
inline constexpr ColorRef kGrey = 6316128;       // RGB 96, 96, 96

// What a status does to "Close" and "<< Back" (together), and to the
// instructions picture.
enum class ButtonsEffect { Disable, Enable, AsIs };
enum class InstructionsEffect { Hide, Show, AsIs };
// Where the job stands after the status: at work, waiting (for the user or
// the board; it goes on by itself), or ended with success or failure.
enum class JobOutcome { Working, Waiting, Succeeded, Failed };

struct StatusRow {
    std::int32_t code;  // 0 for the row of codes outside the table
    std::string_view text;
    ColorRef color;
    ButtonsEffect buttons;
    InstructionsEffect instructions;
    JobOutcome outcome;
};

// The row for a code; codes outside the table get the "N/A" row.
const StatusRow& LookupStatus(std::int32_t code);

// Every assigned row, in code order (the "N/A" row is not among them).
std::span<const StatusRow> AssignedStatusRows();

// The job has ended without success.
inline bool IsFailureStatus(const StatusRow& row) { return row.outcome == JobOutcome::Failed; }
