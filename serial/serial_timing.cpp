#include "serial/serial_timing.h"

SerialTiming SerialTiming::Prompt()
{
    SerialTiming timing;
    timing.packetAnswer = ms(1000);
    timing.replyReadLimit = ms(5000);
    return timing;
}

SerialTiming SerialTiming::Fixed()
{
    SerialTiming timing;
    timing.prompt = false;
    return timing;
}
