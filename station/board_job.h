#pragma once
// One board's programming job as the station drives it. The job reports
// through the target it was made with, as job/job_messages.h turns a job's
// reports into messages.

#include "job/messages.h"

#include <functional>
#include <memory>
#include <string>

class IBoardJob {
public:
    virtual ~IBoardJob() = default;
    virtual void Start() = 0;
    // Both wait for the job's thread, calling `pump` meanwhile so that a send
    // of the job is delivered.
    virtual void Stop(const std::function<void()>& pump) = 0;
    virtual void Join(const std::function<void()>& pump) = 0;
};

class IBoardJobFactory {
public:
    virtual ~IBoardJobFactory() = default;
    // A job not yet started; `target` outlives it.
    virtual std::unique_ptr<IBoardJob> Make(const std::string& port, const std::string& mac,
                                            IMessageTarget& target) = 0;
};
