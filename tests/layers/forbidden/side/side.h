#pragma once
#include "low/low.h"
#include <unistd.h>
