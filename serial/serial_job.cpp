#include "serial/serial_job.h"

SerialJob::SerialJob(IMessageTarget* dialogWindow, ISerialPortFactory& ports, SerialTiming timing)
    : writer(std::make_unique<CSerialWriter>(dialogWindow, &boardInfo, ports, timing)),
      dialogWindow(dialogWindow)
{
}
