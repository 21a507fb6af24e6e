#pragma once
// What a job reports while it runs, as values: each status with what its
// watcher needs to judge it, and each step of the progress. A job reports
// from its own thread and goes on once the report is taken in; whoever
// shows the job turns the reports into what it shows (the dialog's edge
// into window messages, job/job_messages.h).

#include <cstdint>
#include <string>
#include <string_view>

struct JobStatus {
    std::int32_t code = 0;
    std::string port;  // the serial job's board port; empty for the J-Link job
    // After kStatusOpenFailed: why the port did not open, in words for the
    // user, and whether it never will (a file or a folder is no terminal).
    std::string openFailure;
    bool hopeless = false;
    // With a failed end: why, in words, unless a message has told it.
    std::string failure;
};

class IJobObserver {
public:
    virtual ~IJobObserver() = default;
    virtual void OnStatus(const JobStatus& status) = 0;
    virtual void OnProgress(int percent) = 0;
    // What the user must read before the job goes on, such as why it cannot
    // start: a message box in the window, standard error on the console.
    virtual void OnMessage(std::string_view text) = 0;
};
