#include "app/status_codes.h"

#include <array>

namespace {

using B = ButtonsEffect;
using I = InstructionsEffect;

constexpr std::array<StatusRow, 17> kRows{{
    {1, "Opening port...", kBlack, B::Disable, I::AsIs},
    {2, "Opened USB connection", kBlack, B::Disable, I::AsIs},
    {3, "Failed to open port.", kRed, B::Enable, I::AsIs},
    {4, "Connected", kBlack, B::Disable, I::Hide},
    {5, "Waiting for user to press the board reset switch or to erase the flash...", kBlack,
     B::Enable, I::Show},
    {6, "Starting programming...", kBlack, B::Disable, I::Hide},
    {7, "Firmware update successful! Please reset the board.", kGreen, B::Enable, I::Hide},
    {8, "Starting loading bootloader...", kBlack, B::Disable, I::Hide},
    {9, "Bootloader loading error", kRed, B::Enable, I::Hide},
    {10, "Flash Erased", kBlack, B::Disable, I::Hide},
    {11, "Error Erasing", kRed, B::Enable, I::Hide},
    {12, "Could not read/open file", kRed, B::Enable, I::Hide},
    {13, "Bootloader loaded", kBlack, B::Disable, I::Hide},
    {14, "Programming Flash...", kBlack, B::Disable, I::Hide},
    {15, "Error during flash programming. Go Back and try again.", kRed, B::Enable, I::Hide},
    {22, "Board disconnected. Waiting for board to be reconnected...", kBlack, B::Enable,
     I::Show},
    {23, "Board reconnected.", kBlack, B::Disable, I::AsIs},
}};

constexpr StatusRow kNotAssigned{0, "N/A", kBlack, B::AsIs, I::AsIs};

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
