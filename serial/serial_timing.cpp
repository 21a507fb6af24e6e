#include "serial/serial_timing.h"

SerialTiming SerialTiming::Prompt() { return SerialTiming{}; }

SerialTiming SerialTiming::Fixed()
{
    SerialTiming timing;
    timing.prompt = false;
    return timing;
}
