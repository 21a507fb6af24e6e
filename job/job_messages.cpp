#include "job/job_messages.h"

void JobMessages::OnStatus(const JobStatus& status)
{
    target.Send(WM_JOB_STATUS, reinterpret_cast<WParam>(&status), 0);
}

void JobMessages::OnProgress(int percent)
{
    target.Send(WM_JOB_PROGRESS, static_cast<WParam>(percent), 0);
}

void JobMessages::OnMessage(std::string_view text)
{
    const std::string message(text);
    target.Send(WM_JOB_MESSAGE, reinterpret_cast<WParam>(&message), 0);
}
