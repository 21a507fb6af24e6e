#pragma once
// One serial job against velkan-board-sim on a pseudo-terminal, for the
// benchmarks: a scratch folder for the link and the image, the simulator
// with its options, and the job with a dialog that records every status.

#include "job/job_messages.h"
#include "job/message_queue.h"
#include "platform/posix/posix_serial_port.h"
#include "serial/serial_job.h"
#include "sim/sim_process.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string path;
};

class SimBoardRun {
public:
    // Starts the simulator with `simArguments` (besides its link) and
    // prepares a job for a random image of `length` bytes. Ready() says
    // whether all of that worked.
    SimBoardRun(const std::vector<std::string>& simArguments, std::uint32_t length,
                SerialTiming timing);

    bool Ready() const { return ready; }
    void Start() { job->writer->Start(); }
    // Delivers the job's messages for up to `milliseconds`.
    void Pump(int milliseconds = 5);
    void Join();
    void Stop();
    bool Saw(std::int32_t code) const;
    std::int32_t LastStatus() const { return statuses.empty() ? 0 : statuses.back(); }

private:
    ScratchFolder folder;
    std::unique_ptr<SimProcess> sim;
    std::vector<std::int32_t> statuses;
    CMessageQueue dialog;
    JobMessages reports{dialog};
    PosixSerialPortFactory ports;
    std::unique_ptr<SerialJob> job;
    bool ready = false;
};
