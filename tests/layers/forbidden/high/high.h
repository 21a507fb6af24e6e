#pragma once
// Any folder below, however far: allowed.
#include "low/low.h"
#include "side/side.h"
#include <string>
