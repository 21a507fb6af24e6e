#pragma once
// The J-Link job's settings on this machine: the program's own folder, the
// temporary folder, the real process starter.

#include "jlink/jlink_settings.h"

JLinkSettings MachineJLinkSettings();
