#include "jlink/jlink_job.h"

#include "images/prepare_request.h"
#include "platform/message_box.h"

JLinkJob::JLinkJob(IMessageTarget* dialogWindow, JLinkSettings settings)
    : writer(std::make_unique<JLinkWriter>(dialogWindow, &request, std::move(settings))),
      dialogWindow(dialogWindow)
{
}

JLinkJob::~JLinkJob() = default;

bool StartJLinkJob(std::unique_ptr<JLinkJob>& current, IMessageTarget* dialogWindow,
                   JLinkSettings settings, const std::string& imagePath,
                   const std::string& imageFileName, const std::string& macText,
                   const std::function<void()>& whileWaiting)
{
    if (current)
        current->writer->Wait(whileWaiting);
    current = std::make_unique<JLinkJob>(dialogWindow, std::move(settings));
    const ImageLoad load = PrepareRequest(current->request, imagePath, imageFileName, macText);
    for (const std::string& message : load.Messages())
        ShowMessageBox(message);
    if (!load) {
        current.reset();
        return false;
    }
    current->writer->Start();
    return true;
}
