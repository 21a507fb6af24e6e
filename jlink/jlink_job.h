#pragma once
// One J-Link programming job: the request record and the writer that carries
// it out, reporting to the dialog.

#include "jlink/jlink_settings.h"
#include "jlink/jlink_writer.h"
#include "job/board_info.h"

#include <functional>
#include <memory>
#include <string>

class IJobObserver;

class JLinkJob {
public:
    JLinkJob(IJobObserver* observer, JLinkSettings settings);
    // Waits for a running worker; see JLinkWriter.
    ~JLinkJob();
    JLinkJob(const JLinkJob&) = delete;
    JLinkJob& operator=(const JLinkJob&) = delete;

    // Declared before the writer, so the writer (and its threads) go first.
    CBoardInfo request;
    std::unique_ptr<JLinkWriter> writer;
};

// The starter's part: a previous job in `current` is waited for (with
// `whileWaiting` delivering its pending sends) before it is released; then a
// new job is made and its request prepared. Its worker starts only when the
// image loaded (the user is shown why not): false, and no job, otherwise.
bool StartJLinkJob(std::unique_ptr<JLinkJob>& current, IJobObserver* observer,
                   JLinkSettings settings, const std::string& imagePath,
                   const std::string& imageFileName, const std::string& macText,
                   const std::function<void()>& whileWaiting);
