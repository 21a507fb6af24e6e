#pragma once
// One board the station programs: its job, the watcher that judges it, and
// what the station tells of it.

#include "job/job_events.h"
#include "job/job_watcher.h"
#include "station/board_job.h"
#include "station/station_observer.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// Forwards one job's messages into the station's queue with the board's
// number in lparam: every job reports the same messages, and the receiver
// must know whose they are.
class BoardTarget final : public IMessageTarget {
public:
    BoardTarget(IMessageTarget& queue, std::size_t board)
        : queue(queue), board(static_cast<LParam>(board))
    {
    }
    void Post(unsigned message, WParam wparam, LParam) override { queue.Post(message, wparam, board); }
    LParam Send(unsigned message, WParam wparam, LParam) override
    {
        return queue.Send(message, wparam, board);
    }

private:
    IMessageTarget& queue;
    const LParam board;
};

class BoardRun {
public:
    using TimePoint = JobWatcher::TimePoint;

    BoardRun(std::size_t number, std::string port, std::string mac, TimePoint started,
             std::chrono::seconds boardWait, IStationObserver& observer);

    void Start(IBoardJobFactory& jobs, IMessageTarget& queue);
    void OnStatus(const JobStatus& status);
    void OnProgress(int percent);
    // Gives up on a board that has not answered in time; true when it did.
    bool GiveUpIfSilent(TimePoint now);
    // Ctrl-C: ends a job that has not ended, and waits for it.
    void Interrupt(const std::function<void()>& pump);
    // Ends the job once its verdict is in; true when it did so just now.
    bool Finish(const std::function<void()>& pump);

    BoardResult Result() const;
    bool Finished() const { return finished; }
    std::size_t Number() const { return number; }
    const std::string& Port() const { return port; }
    const std::string& Mac() const { return mac; }
    std::int32_t LastStatus() const { return lastStatus; }
    TimePoint Started() const { return started; }

private:
    const std::size_t number;
    const std::string port;
    const std::string mac;
    const TimePoint started;
    IStationObserver& observer;
    JobWatcher watcher;
    std::unique_ptr<BoardTarget> target;
    std::unique_ptr<IBoardJob> job;
    std::int32_t lastStatus = 0;
    int percent = -1;
    bool stopped = false;   // the station ended the job
    bool finished = false;  // joined; its verdict stands
};
