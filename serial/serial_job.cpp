#include "serial/serial_job.h"

SerialJob::SerialJob(IJobObserver* observer, ISerialPortFactory& ports, SerialTiming timing)
    : writer(std::make_unique<CSerialWriter>(observer, &request, ports, timing))
{
}
