#pragma once
// A control of the Qt window, as the page builders record it.

#include "wizard/control_entry.h"

class QFont;
class QWidget;

using LoaderControl = ControlEntry<QWidget*, QFont*>;
