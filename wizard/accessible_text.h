#pragma once
// What a screen reader says of each control of the pages, for both windows.
// A label, button or radio button is read by its own text; the controls
// whose text says nothing of what they are (the MAC boxes, the port list,
// the progress bar, the pictures) get a name here.

#include "wizard/page_tables.h"

#include <string>

struct AccessibleText {
    std::string name;         // empty: the control's own text names it
    std::string description;  // what else a listener needs to know
    bool decoration = false;  // a picture that shows nothing to act on
};

AccessibleText AccessibleTextOf(const PageEntry& entry);
