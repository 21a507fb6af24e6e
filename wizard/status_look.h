#pragma once
// How a status shows on the result page: its text's color, and what it does
// to the instructions picture. "Close" and "<< Back" follow from the job's
// outcome (job/status_table.h).

#include "job/status_table.h"
#include "wizard/colors.h"

enum class InstructionsEffect { Hide, Show, AsIs };

struct StatusLook {
    ColorRef color;
    InstructionsEffect instructions;
};

// An end shows in color: green for the success, red for a failure. A failed
// open is red too, though the serial job goes on reopening the port. The
// picture shows while the board waits for the user's hand, and goes once the
// board has answered; before that, and for codes outside the table, it stays.
StatusLook LookOfStatus(const StatusRow& row);
