#include "serial/serial_writer.h"

#include "flash/flash_layout.h"
#include "job/board_info.h"
#include "job/status_codes.h"
#include "serial/wire_protocol.h"

CSerialWriter::CSerialWriter(IJobObserver* observer, CBoardInfo* request,
                             ISerialPortFactory& ports, SerialTiming timing)
    : observer(observer), request(request), ports(ports), timing(timing)
{
}

CSerialWriter::~CSerialWriter() { Stop({}); }

void CSerialWriter::Start()
{
    std::lock_guard lock(mutex);
    if (!worker.joinable() && !ended)
        worker = std::thread([this] { ThreadMain(); });
}

void CSerialWriter::ThreadMain()
{
    try {
        Run();
    } catch (const StopRequested&) {
        // A stop check ends the job at once and quietly.
    }
    ClosePort();
    {
        std::lock_guard lock(mutex);
        ended = true;
    }
    changed.notify_all();
}

void CSerialWriter::Stop(const std::function<void()>& whileWaiting)
{
    {
        std::lock_guard lock(mutex);
        stopFlag = 1;
    }
    changed.notify_all();
    WaitForEnd(whileWaiting);
}

void CSerialWriter::Join(const std::function<void()>& whileWaiting) { WaitForEnd(whileWaiting); }

bool CSerialWriter::HasEnded() const
{
    std::lock_guard lock(mutex);
    return ended;
}

void CSerialWriter::WaitForEnd(const std::function<void()>& whileWaiting)
{
    if (!worker.joinable())
        return;
    // With a pump, the pump itself is the wait: a send of the worker must not
    // sit undelivered while this thread sleeps on its own.
    const auto nap = whileWaiting ? std::chrono::microseconds(200) : std::chrono::microseconds(10000);
    for (;;) {
        {
            std::unique_lock lock(mutex);
            if (changed.wait_for(lock, nap, [this] { return ended; }))
                break;
        }
        if (whileWaiting)
            whileWaiting();
    }
    worker.join();
}

void CSerialWriter::StopCheck()
{
    if (stopFlag != 0)
        throw StopRequested{};
}

// A failed open carries its reason, read here on the worker's own thread
// right after the open that failed.
void CSerialWriter::ReportStatus(std::int32_t code)
{
    request->statusCode = code;
    JobStatus status;
    status.code = code;
    status.port = request->portName;
    if (code == kStatusOpenFailed) {
        const PortOpenError error = ports.LastOpenError();
        status.openFailure = DescribeOpenError(error);
        status.hopeless = error.reason == PortOpenFailure::NotASerialPort;
    }
    observer->OnStatus(status);
}

void CSerialWriter::ReportProgress(unsigned percent)
{
    observer->OnProgress(static_cast<int>(percent));
}

void CSerialWriter::ClosePort()
{
    if (port)
        port->Close();
    port.reset();
}

void CSerialWriter::Run()
{
    if (!ImageIsUsable())
        return;
    ReportStatus(kStatusOpeningPort);
    StopCheck();
    port = ports.Open(request->portName);
    ReportStatus(port ? kStatusPortOpened : kStatusOpenFailed);
    while (!PollOnce()) {
    }
    ReportStatus(kStatusConnected);
    ReportStatus(kStatusProgrammingBegins);
    const bool programmed = LoadAndProgram();
    StopCheck();
    if (programmed)
        ReportStatus(kStatusSuccess);
}

// Refused before the board is touched: an image that did not load, or one
// that would run past the end of the flash.
bool CSerialWriter::ImageIsUsable()
{
    const ImageBlock& image = request->image;
    if (!image.buffer || !request->macDestination) {
        ReportStatus(kStatusFileUnreadable);
        return false;
    }
    if (!ImageFitsFlash(image.length)) {
        observer->OnMessage(ImageTooLongMessage(image.length));
        ReportStatus(kStatusFileUnreadable);
        return false;
    }
    return true;
}

// One poll for the bootloader's greeting; true once it has greeted.
bool CSerialWriter::PollOnce()
{
    StopCheck();
    const std::uint8_t poll = kPollByte;
    if (!port || !port->Write({&poll, 1}) || !AwaitGreeting()) {
        Reconnect();
        return false;
    }
    StopCheck();
    return JudgeGreeting();
}

// Input that can no longer become a greeting is dropped: noise before the
// greeting would otherwise stay counted for ever, and the greeting that
// follows a reset of the board would never be recognised.
bool CSerialWriter::JudgeGreeting()
{
    if (IsGreeting(greetingInput))
        return true;
    const std::size_t count = greetingInput.size();
    if (!CouldBecomeGreeting(greetingInput))
        greetingInput.clear();
    if (count != kGreetingSize && count != kGreetingSize + 1)
        ReportStatus(kStatusWaitingForReset);
    return false;
}

void CSerialWriter::Reconnect()
{
    ReportStatus(kStatusDisconnected);
    ClosePort();
    greetingInput.clear();
    for (;;) {
        StopCheck();
        port = ports.Open(request->portName);
        if (port) {
            ReportStatus(kStatusReconnected);
            return;
        }
        Pause(timing.reopenInterval);
    }
}
