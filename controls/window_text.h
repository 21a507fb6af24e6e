#pragma once
// Reading and changing the text of any of the wizard's controls.

#include "controls/loader_control.h"

#include <QString>

QString WindowText(const QWidget* window);

// Sets the text only when it differs (exact, case-sensitive) and then
// repaints the control; reports whether it changed.
bool SetTextIfChanged(LoaderControl& entry, const QString& text);
