#include "station/serial_board_job.h"

#include "images/prepare_request.h"
#include "job/job_messages.h"
#include "platform/machine.h"
#include "platform/text_paths.h"
#include "serial/serial_job.h"

#include <filesystem>

namespace {

class SerialBoardJob final : public IBoardJob {
public:
    SerialBoardJob(IMessageTarget& target, SerialTiming timing)
        : ports(MakeSerialPortFactory()), reports(target), job(&reports, *ports, timing)
    {
    }
    CBoardInfo& Request() { return job.request; }
    void Start() override { job.writer->Start(); }
    void Stop(const std::function<void()>& pump) override { job.writer->Stop(pump); }
    void Join(const std::function<void()>& pump) override { job.writer->Join(pump); }

private:
    // Before the job, which opens its ports through it.
    std::unique_ptr<ISerialPortFactory> ports;
    JobMessages reports;
    SerialJob job;
};

}  // namespace

std::unique_ptr<IBoardJob> SerialBoardJobFactory::Make(const std::string& port,
                                                       const std::string& mac,
                                                       IMessageTarget& target)
{
    auto board = std::make_unique<SerialBoardJob>(target, settings.timing);
    CBoardInfo& info = board->Request();
    // A tty name below another device tree (the tests' fake machine) is
    // opened there; it is shown and recorded by its name.
    const bool elsewhere = !settings.devRoot.empty() && port.find('/') == std::string::npos;
    info.portName = elsewhere ? settings.devRoot + "/" + port : port;
    // The image was read and its messages shown once, before any board.
    PrepareRequest(info, settings.image, TextOfPath(PathOfText(settings.image).filename()), mac);
    return board;
}
