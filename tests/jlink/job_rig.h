#pragma once
// A program folder and a temporary folder for J-Link jobs, and the test's
// thread as the dialog: it runs a job to its end and records what the job
// reported, in order (StatusEvent(kStatusProgrammingFlash), "progress 33").

#include "jlink/jlink_job.h"
#include "job/job_messages.h"
#include "job/message_queue.h"
#include "job/status_codes.h"
#include "support/temp_dir.h"

#include <mutex>
#include <string>
#include <vector>

// What a status report leaves in the record, and the three the J-Link job sends.
std::string StatusEvent(std::int32_t code);
inline const std::string kProgramming = StatusEvent(kStatusProgrammingFlash);
inline const std::string kSucceeded = StatusEvent(kStatusSuccess);
inline const std::string kFailed = StatusEvent(kStatusProgrammingFailed);

class JobRig {
public:
    JobRig();

    std::string ProgramFolder() const { return dir / "program"; }
    std::string TempFolder() const { return dir / "temp"; }
    std::string ToolPath() const { return dir / "program/jlink/JLinkExe"; }

    // Puts the tool below the program folder: a link to `binary`, or an empty
    // file for a fake starter.
    void InstallTool(const std::string& binary = {}) const;

    // Settings for this rig's folders, with short waits and the diagnostics
    // collected here.
    JLinkSettings Settings(ProcessStarter starter);

    // Runs one job on the image and returns what it reported.
    std::vector<std::string> Run(const JLinkSettings& settings, const std::string& imagePath,
                                 const std::string& mac = "0050C2123456789A");

    IJobObserver* Reports() { return &reports; }
    void Pump() { dialog.DispatchFor(std::chrono::milliseconds(10)); }
    std::vector<std::string> Events() const;
    // What the jobs told the user, in order.
    std::vector<std::string> Messages() const;
    std::string Diagnostics() const;
    // Why the last job run failed.
    JLinkFailure Failure() const { return failure; }
    // The temporary folder's names, sorted.
    std::vector<std::string> TempEntries() const;

    TempDir dir;

private:
    LParam Handle(unsigned message, WParam wparam);

    CMessageQueue dialog;
    JobMessages reports{dialog};
    mutable std::mutex mutex;
    std::vector<std::string> events;
    std::vector<std::string> messages;
    std::string diagnostics;
    JLinkFailure failure = JLinkFailure::None;
};
