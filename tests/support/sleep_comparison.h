#pragma once
// One serial job on a board, run in turn with precise sleeps and with every
// sleep of the platform rounded up to a Windows timer tick. The job is timed
// from the board's greeting to its success, which leaves out the greeting
// polls; medians of a few runs, the two kinds interleaved, so that a busy
// moment of the machine does not decide.

#include "images/prepare_request.h"
#include "job/job_messages.h"
#include "job/message_queue.h"
#include "job/status_codes.h"
#include "platform/sleep.h"
#include "serial/serial_job.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

// Windows' default timer tick, rounded up.
inline constexpr std::chrono::milliseconds kCoarseTick{16};

// Seconds from the greeting to success of one prompt job; nothing when the
// job did not succeed within a minute.
inline std::optional<double> TimeSerialJob(ISerialPortFactory& ports, const std::string& port,
                                           const std::string& imagePath)
{
    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> greeted;
    std::optional<Clock::time_point> succeeded;
    CMessageQueue dialog([&](unsigned message, WParam wparam, LParam) {
        if (message != WM_JOB_STATUS)
            return LParam{0};
        const auto code = StatusOfMessage(wparam).code;
        if (code == kStatusConnected && !greeted)
            greeted = Clock::now();
        if (code == kStatusSuccess)
            succeeded = Clock::now();
        return LParam{0};
    });
    JobMessages reports(dialog);
    SerialJob job(&reports, ports);
    job.request.portName = port;
    if (!PrepareRequest(job.request, imagePath, "fw.bin", "0050C2123456789A"))
        return std::nullopt;
    job.writer->Start();
    const auto limit = Clock::now() + std::chrono::minutes(1);
    while (!job.writer->HasEnded() && Clock::now() < limit)
        dialog.DispatchFor(std::chrono::milliseconds(100));
    job.writer->Stop([&dialog] { dialog.DispatchPending(); });
    dialog.DispatchPending();
    if (!greeted || !succeeded)
        return std::nullopt;
    return std::chrono::duration<double>(*succeeded - *greeted).count();
}

struct SleepComparison {
    double precise = 0;  // median seconds
    double coarse = 0;
    bool allSucceeded = true;
};

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

inline SleepComparison CompareSleeps(ISerialPortFactory& ports, const std::string& port,
                                     const std::string& imagePath, int rounds)
{
    std::vector<double> precise, coarse;
    SleepComparison result;
    for (int round = 0; round < rounds; ++round) {
        for (const bool rough : {false, true}) {
            SetSleepTick(rough ? std::chrono::microseconds(kCoarseTick) : std::chrono::microseconds(0));
            const auto seconds = TimeSerialJob(ports, port, imagePath);
            SetSleepTick(std::chrono::microseconds(0));
            if (!seconds)
                result.allSucceeded = false;
            else
                (rough ? coarse : precise).push_back(*seconds);
        }
    }
    result.precise = Median(precise);
    result.coarse = Median(coarse);
    return result;
}
