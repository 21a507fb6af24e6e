#include "wizard/dpi_scale.h"

#include <cstdint>

int ScaleToDpi(int value, int dpi)
{
    // Rounded half away from zero, as the system's MulDiv rounds, so that a
    // control and the frame computed by the system agree to the pixel.
    const std::int64_t product = std::int64_t{value} * dpi;
    const std::int64_t half = kLayoutDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kLayoutDpi
                                         : (product - half) / kLayoutDpi);
}

Placement ScaleToDpi(Placement place, int dpi)
{
    return Placement{ScaleToDpi(place.x, dpi), ScaleToDpi(place.y, dpi)};
}

Extent ScaleToDpi(Extent size, int dpi)
{
    return Extent{ScaleToDpi(size.width, dpi), ScaleToDpi(size.height, dpi)};
}
