#pragma once
// The edge between a job and a receiver of messages: each report becomes a
// message sent to the target, WM_JOB_STATUS with the JobStatus in wparam
// (valid while the receiver handles it), WM_JOB_PROGRESS with the percent and
// WM_JOB_MESSAGE with the text (a std::string, valid as long).

#include "job/job_events.h"
#include "job/messages.h"

class JobMessages final : public IJobObserver {
public:
    explicit JobMessages(IMessageTarget& target) : target(target) {}

    void OnStatus(const JobStatus& status) override;
    void OnProgress(int percent) override;
    void OnMessage(std::string_view text) override;

private:
    IMessageTarget& target;
};

// The status a WM_JOB_STATUS message carries.
inline const JobStatus& StatusOfMessage(WParam wparam)
{
    return *reinterpret_cast<const JobStatus*>(wparam);
}

// The text a WM_JOB_MESSAGE carries.
inline const std::string& TextOfMessage(WParam wparam)
{
    return *reinterpret_cast<const std::string*>(wparam);
}
