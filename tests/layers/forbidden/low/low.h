#pragma once
// A lower layer reaching up: forbidden.
#include "high/high.h"
