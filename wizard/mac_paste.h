#pragma once
// What pasting text into a row of MAC boxes does, the same in every window:
// a whole address fills the row, or the boxes the user can change; any other
// text is left to the box it was pasted into.

#include <string>
#include <string_view>
#include <vector>

struct MacRowBox {
    std::string text;
    bool fixed = false;  // read-only: shown, never edited
};

struct MacRowPaste {
    enum class Outcome {
        notAnAddress,  // paste it into the box as any text
        refused,       // a whole row whose fixed bytes are not this board's
        taken,         // `texts` holds every box's new text, fixed ones unchanged
    };
    Outcome outcome = Outcome::notAnAddress;
    std::vector<std::string> texts;
};

// A whole address is 2 hexadecimal digits for every box of the row, or for
// every box the user can change, with ':', '-' or blanks allowed between
// (never inside) the bytes. A whole row must agree with the fixed boxes: an
// address with other fixed bytes is refused whole, rather than half taken.
MacRowPaste PasteIntoMacRow(std::string_view pasted, const std::vector<MacRowBox>& row);
