#include "jlink/jlink_job.h"

#include "images/prepare_request.h"
#include "job/job_events.h"

JLinkJob::JLinkJob(IJobObserver* observer, JLinkSettings settings)
    : writer(std::make_unique<JLinkWriter>(observer, &request, std::move(settings)))
{
}

JLinkJob::~JLinkJob() = default;

bool StartJLinkJob(std::unique_ptr<JLinkJob>& current, IJobObserver* observer,
                   JLinkSettings settings, const std::string& imagePath,
                   const std::string& imageFileName, const std::string& macText,
                   const std::function<void()>& whileWaiting)
{
    if (current)
        current->writer->Wait(whileWaiting);
    current = std::make_unique<JLinkJob>(observer, std::move(settings));
    const ImageLoad load = PrepareRequest(current->request, imagePath, imageFileName, macText);
    for (const std::string& message : load.Messages()) {
        if (observer)
            observer->OnMessage(message);
    }
    if (!load) {
        current.reset();
        return false;
    }
    current->writer->Start();
    return true;
}
