#include "job/status_table.h"

#include <array>

namespace {

using O = JobOutcome;

constexpr std::array<StatusRow, 17> kRows{{
    {1, "Opening port...", O::Working},
    {2, "Opened USB connection", O::Working},
    {3, "Failed to open port.", O::Waiting},
    {4, "Connected", O::Working},
    {5, "Waiting for user to press the board reset switch or to erase the flash...", O::Waiting},
    {6, "Starting programming...", O::Working},
    {7, "Firmware update successful! Please reset the board.", O::Succeeded},
    {8, "Starting loading bootloader...", O::Working},
    {9, "Bootloader loading error", O::Failed},
    {10, "Flash Erased", O::Working},
    {11, "Error Erasing", O::Failed},
    {12, "Could not read/open file", O::Failed},
    {13, "Bootloader loaded", O::Working},
    {14, "Programming Flash...", O::Working},
    {15, "Error during flash programming. Go Back and try again.", O::Failed},
    {22, "Board disconnected. Waiting for board to be reconnected...", O::Waiting},
    {23, "Board reconnected.", O::Working},
}};

constexpr StatusRow kNotAssigned{0, "N/A", O::Working};

}  // namespace

const StatusRow& LookupStatus(std::int32_t code)
{
    for (const StatusRow& row : kRows) {
        if (row.code == code)
            return row;
    }
    return kNotAssigned;
}

std::span<const StatusRow> AssignedStatusRows() { return kRows; }
