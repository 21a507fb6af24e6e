#include "job_harness.h"

#include "flash/flash_layout.h"
#include "images/prepare_request.h"
#include "job/job_messages.h"
#include "job/mac_address.h"
#include "support/expected_flash.h"

#include <algorithm>

SerialTiming QuickTiming(bool prompt)
{
    using std::chrono::milliseconds;
    SerialTiming timing = prompt ? SerialTiming::Prompt() : SerialTiming::Fixed();
    timing.pollInterval = milliseconds(30);
    timing.reopenInterval = milliseconds(5);
    timing.loaderAnswer = milliseconds(10);
    timing.eraseAnswer = milliseconds(30);
    timing.packetAnswer = milliseconds(prompt ? 150 : 15);
    timing.replyReadLimit = milliseconds(300);
    timing.greetingQuiet = std::chrono::microseconds(2000);
    return timing;
}

JobHarness::JobHarness(ISerialPortFactory& ports, SerialTiming timing)
    : job(&reports, ports, timing),
      queue([this](unsigned m, WParam w, LParam l) { return Handle(m, w, l); })
{
}

JobHarness::~JobHarness() { Stop(); }

bool JobHarness::Prepare(const std::vector<std::uint8_t>& image, const std::string& mac,
                         const std::string& fileName)
{
    if (job.request.portName.empty())
        job.request.portName = "board";
    return static_cast<bool>(PrepareRequest(job.request, dir.Write(fileName, image), fileName, mac));
}

void JobHarness::PrepareEmptyImage(const std::string& mac)
{
    if (job.request.portName.empty())
        job.request.portName = "board";
    ImageBlock& image = job.request.image;
    image.buffer.reset(new std::uint8_t[kFlashSize]);
    std::fill_n(image.buffer.get(), kFlashSize, 0xFF);
    image.length = 0;
    job.request.macOffset = kMacOffset;
    job.request.macDestination = image.buffer.get() + kMacOffset;
    job.request.macText = mac;
}

LParam JobHarness::Handle(unsigned message, WParam wparam, LParam)
{
    if (message == WM_JOB_STATUS)
    {
        statuses.push_back(StatusOfMessage(wparam).code);
        if (statuses.back() == kStatusOpenFailed)
            openFailures.push_back(StatusOfMessage(wparam));
    }
    else if (message == WM_JOB_PROGRESS)
        progress.push_back(static_cast<unsigned>(wparam));
    else if (message == WM_JOB_MESSAGE)
        messages.push_back(TextOfMessage(wparam));
    return 0;
}

void JobHarness::Pump() { queue.DispatchFor(std::chrono::milliseconds(5)); }

void JobHarness::RunToEnd()
{
    if (!started)
        job.writer->Start();
    started = true;
    job.writer->Join([this] { Pump(); });
    queue.DispatchPending();
}

bool JobHarness::RunUntil(const std::function<bool(const std::vector<std::int32_t>&)>& done,
                          std::chrono::milliseconds limit)
{
    if (!started)
        job.writer->Start();
    started = true;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done(statuses)) {
        if (std::chrono::steady_clock::now() >= deadline || job.writer->HasEnded()) {
            queue.DispatchPending();
            return done(statuses);
        }
        Pump();
    }
    return true;
}

void JobHarness::Stop()
{
    job.writer->Stop([this] { Pump(); });
    queue.DispatchPending();
}

std::vector<std::uint8_t> JobHarness::ExpectedFlash() const
{
    return ExpectedSerialFlash(job.request.image.Bytes(), job.request.macText);
}

Codes Steps(std::initializer_list<Codes> steps)
{
    Codes codes;
    for (const Codes& step : steps)
        codes.insert(codes.end(), step.begin(), step.end());
    return codes;
}

int CountOf(const std::vector<std::int32_t>& statuses, std::int32_t code)
{
    return static_cast<int>(std::count(statuses.begin(), statuses.end(), code));
}
