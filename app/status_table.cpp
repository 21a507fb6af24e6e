#include "app/status_table.h"

#include <array>

namespace {

using B = ButtonsEffect;
using I = InstructionsEffect;
using O = JobOutcome;

constexpr std::array<StatusRow, 17> kRows{{
    {1, "Opening port...", kBlack, B::Disable, I::AsIs, O::Working},
    {2, "Opened USB connection", kBlack, B::Disable, I::AsIs, O::Working},
    {3, "Failed to open port.", kRed, B::Enable, I::AsIs, O::Waiting},
    {4, "Connected", kBlack, B::Disable, I::Hide, O::Working},
    {5, "Waiting for user to press the board reset switch or to erase the flash...", kBlack,
     B::Enable, I::Show, O::Waiting},
    {6, "Starting programming...", kBlack, B::Disable, I::Hide, O::Working},
    {7, "Firmware update successful! Please reset the board.", kGreen, B::Enable, I::Hide,
     O::Succeeded},
    {8, "Starting loading bootloader...", kBlack, B::Disable, I::Hide, O::Working},
    {9, "Bootloader loading error", kRed, B::Enable, I::Hide, O::Failed},
    {10, "Flash Erased", kBlack, B::Disable, I::Hide, O::Working},
    {11, "Error Erasing", kRed, B::Enable, I::Hide, O::Failed},
    {12, "Could not read/open file", kRed, B::Enable, I::Hide, O::Failed},
    {13, "Bootloader loaded", kBlack, B::Disable, I::Hide, O::Working},
    {14, "Programming Flash...", kBlack, B::Disable, I::Hide, O::Working},
    {15, "Error during flash programming. Go Back and try again.", kRed, B::Enable, I::Hide,
     O::Failed},
    {22, "Board disconnected. Waiting for board to be reconnected...", kBlack, B::Enable,
     I::Show, O::Waiting},
    {23, "Board reconnected.", kBlack, B::Disable, I::AsIs, O::Working},
}};

constexpr StatusRow kNotAssigned{0, "N/A", kBlack, B::AsIs, I::AsIs, O::Working};

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
