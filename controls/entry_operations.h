#pragma once
// What the dialog does to its controls through their entries: texts and
// label colors, each changed only when it differs.

#include "controls/loader_control.h"

#include <QString>

QString WindowText(const QWidget* window);

// Sets the text only when it differs (exact, case-sensitive) and then
// repaints the control; reports whether it changed.
bool SetTextIfChanged(LoaderControl& entry, const QString& text);

// Gives a colored label (or radio button) a new text color when it differs,
// records it in the entry and repaints; reports whether it changed.
bool SetLabelColor(LoaderControl& entry, ColorRef color);
