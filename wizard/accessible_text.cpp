#include "wizard/accessible_text.h"

namespace {

AccessibleText MacBoxText(int k)
{
    AccessibleText text{"MAC address byte " + std::to_string(k + 1) + " of 8", "", false};
    text.description = k < 3 ? "Fixed: the maker's prefix 00 50 C2, which cannot be changed."
                             : "Two hexadecimal digits.";
    return text;
}

AccessibleText PictureText(Control control)
{
    switch (control) {
    case Control::boardPicture: return {"Board detected", "", false};
    case Control::noBoardPicture: return {"No board detected", "", false};
    case Control::probePicture: return {"J-Link detected", "", false};
    case Control::noProbePicture: return {"No J-Link detected", "", false};
    case Control::boardPhoto: return {"The Velkan board", "", false};
    case Control::instructionsPicture:
        return {"Press the RESET switch on the board.",
                "Loading begins a moment later and this page shows its progress. If loading does "
                "not begin within 5 seconds, erase the flash: 1. Put two jumpers on the pins VREFH "
                "and VREFL. 2. Press RESET and wait 5 seconds. 3. Unplug the board and remove the "
                "jumpers.",
                false};
    default: return {"", "", true};
    }
}

}  // namespace

AccessibleText AccessibleTextOf(const PageEntry& entry)
{
    switch (entry.kind) {
    case ControlKind::macBox:
        return MacBoxText(static_cast<int>(entry.control) - static_cast<int>(Control::macBox0));
    case ControlKind::portList: return {"Board port", "The serial port of the board to update.", false};
    case ControlKind::progressBar: return {"Update progress", "", false};
    case ControlKind::picture: return PictureText(entry.control);
    default: return {};
    }
}
