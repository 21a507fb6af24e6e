#pragma once
// The system keeps colors as 0x00BBGGRR values; the toolkit wants QColor.

#include "controls/loader_control.h"

#include <QColor>

inline QColor ToQColor(ColorRef color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}
