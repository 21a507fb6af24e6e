#pragma once
// The system keeps colours as 0x00BBGGRR values; the toolkit wants QColor.

#include "controls/loader_control.h"

#include <QColor>

inline QColor ToQColor(ColorRef colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}
