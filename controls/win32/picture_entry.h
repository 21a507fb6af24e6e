#pragma once
// The entry of a picture: the static window is the dialog's, the control
// that loads, animates and paints the picture in it is the entry's.

#include "controls/win32/loader_control.h"
#include "controls/win32/picture_ex.h"

#include <memory>

struct PictureEntry : LoaderControl {
    std::unique_ptr<CPictureEx> picture;
};
