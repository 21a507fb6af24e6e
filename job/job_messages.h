#pragma once
// The edge between a job and a receiver of messages: each report becomes a
// message sent to the target, WM_JOB_STATUS with the JobStatus in wparam
// (valid while the receiver handles it) and WM_JOB_PROGRESS with the percent.

#include "job/job_events.h"
#include "job/messages.h"

class JobMessages final : public IJobObserver {
public:
    explicit JobMessages(IMessageTarget& target) : target(target) {}

    void OnStatus(const JobStatus& status) override;
    void OnProgress(int percent) override;

private:
    IMessageTarget& target;
};

// The status a WM_JOB_STATUS message carries.
inline const JobStatus& StatusOfMessage(WParam wparam)
{
    return *reinterpret_cast<const JobStatus*>(wparam);
}
