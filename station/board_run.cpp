#include "station/board_run.h"


BoardRun::BoardRun(std::size_t number, std::string port, std::string mac, TimePoint started,
                   std::chrono::seconds boardWait, IStationObserver& observer)
    : number(number),
      port(std::move(port)),
      mac(std::move(mac)),
      started(started),
      observer(observer),
      watcher(started, boardWait)
{
}

void BoardRun::Start(IBoardJobFactory& jobs, IMessageTarget& queue)
{
    target = std::make_unique<BoardTarget>(queue, number);
    job = jobs.Make(port, mac, *target);
    observer.BoardStarted(number, port, mac);
    job->Start();
}

// A failed open tells why while the job still runs; when waiting cannot
// help (a file or a folder will not turn into a terminal) the job fails.
void BoardRun::OnStatus(const JobStatus& status)
{
    const std::int32_t code = status.code;
    const bool repeated = code == lastStatus;
    lastStatus = code;
    observer.StatusChanged(number, code, repeated);
    if (repeated || finished)
        return;
    if (!status.openFailure.empty() && watcher.Running())
        observer.Note(status.openFailure, port);
    watcher.OnStatus(code, status.hopeless);
}

void BoardRun::OnProgress(int newPercent)
{
    if (newPercent == percent)
        return;
    percent = newPercent;
    observer.ProgressChanged(number, percent);
}

bool BoardRun::GiveUpIfSilent(TimePoint now) { return watcher.GiveUpIfSilent(now); }

// Marked only as its turn comes: a job that ended by itself meanwhile keeps
// its own verdict.
void BoardRun::Interrupt(const std::function<void()>& pump)
{
    if (!watcher.Running())
        return;
    watcher.Stop();
    stopped = true;
    job->Stop(pump);
}

bool BoardRun::Finish(const std::function<void()>& pump)
{
    if (finished || watcher.Running())
        return false;
    if (stopped || !watcher.EndsByItself())
        job->Stop(pump);
    else
        job->Join(pump);
    finished = true;
    return true;
}

BoardResult BoardRun::Result() const
{
    switch (watcher.Verdict()) {
    case JobVerdict::Running: return BoardResult::Running;
    case JobVerdict::Succeeded: return BoardResult::Programmed;
    case JobVerdict::Stopped: return BoardResult::Stopped;
    case JobVerdict::Failed:
    case JobVerdict::GaveUpWaiting: break;
    }
    return BoardResult::Failed;
}
