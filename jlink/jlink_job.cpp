#include "jlink/jlink_job.h"

JLinkJob::JLinkJob(IMessageTarget* dialogWindow, JLinkSettings settings)
    : writer(std::make_unique<JLinkWriter>(dialogWindow, &request, std::move(settings))),
      dialogWindow(dialogWindow)
{
}

JLinkJob::~JLinkJob() = default;

JLinkJob& StartJLinkJob(std::unique_ptr<JLinkJob>& current, IMessageTarget* dialogWindow,
                        JLinkSettings settings, const std::string& imagePath,
                        const std::string& imageFileName, const std::string& macText,
                        const std::function<void()>& whileWaiting)
{
    if (current)
        current->writer->Wait(whileWaiting);
    current = std::make_unique<JLinkJob>(dialogWindow, std::move(settings));
    // A job whose image did not load still runs: it reports the failure as
    // its status, after the loader's own message.
    current->request.Prepare(imagePath, imageFileName, macText);
    current->writer->Start();
    return *current;
}
