#pragma once
// A serial job with the test thread as its dialog: every status and progress
// report is recorded in the order the job sent it.

#include "job/job_messages.h"
#include "job/message_queue.h"
#include "job/status_codes.h"
#include "serial/serial_job.h"
#include "support/temp_dir.h"

#include <chrono>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <vector>

// Short waits, so that failures and polling run in milliseconds.
SerialTiming QuickTiming(bool prompt = true);

class JobHarness {
public:
    JobHarness(ISerialPortFactory& ports, SerialTiming timing = QuickTiming());
    ~JobHarness();

    // As the starter does: port name, then the record prepared from a file.
    bool Prepare(const std::vector<std::uint8_t>& image, const std::string& mac,
                 const std::string& fileName = "fw.bin");
    // An image of no bytes, which no file loads, set up in the record directly.
    void PrepareEmptyImage(const std::string& mac);

    // Starts the job and delivers its messages until it has ended.
    void RunToEnd();
    // Starts the job and delivers its messages until `done` holds for the
    // statuses so far, or `limit` has passed. Returns whether it held.
    bool RunUntil(const std::function<bool(const std::vector<std::int32_t>&)>& done,
                  std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Stops the job the way the dialog does, delivering meanwhile.
    void Stop();

    std::vector<std::int32_t> Statuses() const { return statuses; }
    // The failed opens' reports: the reason, and whether the job can give up.
    std::vector<JobStatus> OpenFailures() const { return openFailures; }
    // What the job told the user, in order.
    std::vector<std::string> Messages() const { return messages; }
    std::vector<unsigned> Progress() const { return progress; }
    // The flash programming should leave: header, image with MAC, then erased.
    std::vector<std::uint8_t> ExpectedFlash() const;

    SerialJob job;

private:
    LParam Handle(unsigned message, WParam wparam, LParam lparam);
    void Pump();

    TempDir dir;
    CMessageQueue queue;
    JobMessages reports{queue};
    std::vector<std::int32_t> statuses;
    std::vector<JobStatus> openFailures;
    std::vector<std::string> messages;
    std::vector<unsigned> progress;
    bool started = false;
};

// Counts how often `code` occurs.
int CountOf(const std::vector<std::int32_t>& statuses, std::int32_t code);

// The statuses a serial job sends, step by step, in the order it sends them.
using Codes = std::vector<std::int32_t>;
inline const Codes kOpened{kStatusOpeningPort, kStatusPortOpened};
inline const Codes kGreeted{kStatusConnected, kStatusProgrammingBegins};
inline const Codes kSecondStageLoaded{kStatusSecondStageLoaderDownload, kStatusSecondStageLoaderRunning};
inline const Codes kErasedThenProgramming{kStatusFlashErased, kStatusProgrammingFlash};
// The steps one after the other.
Codes Steps(std::initializer_list<Codes> steps);
