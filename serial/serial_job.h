#pragma once
// One update over the board's serial port: the request record and the writer
// that runs the protocol on its own thread. The starter sets the port name,
// prepares the record, then starts the writer.

#include "job/board_info.h"
#include "job/job_events.h"
#include "platform/serial_port.h"
#include "serial/serial_timing.h"
#include "serial/serial_writer.h"

#include <memory>

class SerialJob {
public:
    SerialJob(IJobObserver* observer, ISerialPortFactory& ports,
              SerialTiming timing = SerialTiming::Prompt());
    SerialJob(const SerialJob&) = delete;
    SerialJob& operator=(const SerialJob&) = delete;

    CBoardInfo request;
    // Declared after the record, so it is destroyed first: its destructor
    // ends the worker before the record goes away.
    std::unique_ptr<CSerialWriter> writer;
};
