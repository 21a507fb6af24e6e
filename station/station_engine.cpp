#include "station/station_engine.h"

#include "job/job_messages.h"

#include <algorithm>

StationEngine::StationEngine(StationSettings settings, StationWiring wiring,
                             const std::atomic<bool>& stopRequested)
    : settings(std::move(settings)),
      stopRequested(stopRequested),
      clock(*wiring.clock),
      jobs(*wiring.jobs),
      observer(*wiring.observer),
      pool(std::move(wiring.pool)),
      sink(std::move(wiring.sink)),
      addresses(pool.get(), this->settings.mac, this->settings.image.sha256, observer),
      recorder(pool.get(), sink.get(), this->settings.journalPath, this->settings.image, observer),
      queue([this](unsigned m, WParam w, LParam l) { return Handle(m, w, l); })
{
}

StationEngine::~StationEngine()
{
    // The watch posts into the queue: it goes first.
    if (portWatch)
        portWatch->Stop();
}

bool StationEngine::CheckPool()
{
    for (const std::string& note : recorder.Replay())
        observer.Error(note);
    if (sink) {
        if (const PoolResult checked = sink->Check(); !checked.Ok())
            return Refuse(checked);
    }
    if (!pool)
        return true;
    // A run of given boards learns at its allocation how many are short.
    // Its warnings (torn lines) come with the allocation, once.
    const PoolResult checked = pool->Check(settings.watching ? 1 : 0);
    return checked.Ok() || Refuse(checked);
}

bool StationEngine::Refuse(const PoolResult& failure)
{
    observer.PoolFailed(failure);
    observer.Error((failure.message.starts_with("report ") ? "The " : "") + failure.message +
                   "\nNo board was touched.");
    return false;
}

StationEnd StationEngine::RunOnce(const std::vector<std::string>& ports)
{
    // Ctrl-C while the image was read: no address is spent, no board opened.
    if (stopRequested)
        return StationEnd::Interrupted;
    std::vector<std::string> macs;
    if (addresses.Allocate(ports, macs) != PoolFailure::None) {
        observer.Note("No board was touched.");
        return StationEnd::NotAllProgrammed;
    }
    if (!pool && !settings.mac)
        observer.Note("No --mac-pool: the board gets " + macs.front() + ".");
    for (std::size_t i = 0; i < ports.size(); ++i)
        StartBoard(ports[i], macs[i]);
    return Loop();
}

void StationEngine::StartBoard(const std::string& port, const std::string& mac)
{
    boards.push_back(std::make_unique<BoardRun>(boards.size(), port, mac, clock.Now(),
                                                settings.boardWait, observer));
    boards.back()->Start(jobs, queue);
}

LParam StationEngine::Handle(unsigned message, WParam wparam, LParam lparam)
{
    if (message == WM_COMPORTS_CHANGED) {
        portsChanged = true;
        return 0;
    }
    if (lparam < 0 || static_cast<std::size_t>(lparam) >= boards.size())
        return 0;
    BoardRun& board = *boards[static_cast<std::size_t>(lparam)];
    if (message == WM_JOB_STATUS)
        board.OnStatus(StatusOfMessage(wparam));
    else if (message == WM_JOB_PROGRESS)
        board.OnProgress(static_cast<int>(wparam));
    else if (message == WM_JOB_MESSAGE)
        observer.Note(TextOfMessage(wparam), board.Port());
    return 0;
}

StationEnd StationEngine::Loop()
{
    for (;;) {
        queue.DispatchFor(std::chrono::milliseconds(100));
        if (stopRequested)
            return Interrupt();
        GiveUpOnSilentBoards();
        FinishEnded();
        if (portWatch && !poolUsedUp && (portsChanged || RetryDue())) {
            portsChanged = false;
            TakeNewBoards();
        }
        if (!AnyRunning() && (!portWatch || poolUsedUp)) {
            Summary();
            const bool allProgrammed = recorder.Failed() + recorder.Stopped() == 0 &&
                                       !boards.empty() && !poolUsedUp;
            return allProgrammed ? StationEnd::AllProgrammed : StationEnd::NotAllProgrammed;
        }
    }
}

// One board after the other: a job that ends by itself meanwhile keeps its
// own verdict.
StationEnd StationEngine::Interrupt()
{
    observer.Note("Interrupted; stopping the running jobs.");
    for (auto& board : boards)
        board->Interrupt([this] { Pump(); });
    FinishEnded();
    Summary();
    return StationEnd::Interrupted;
}

void StationEngine::GiveUpOnSilentBoards()
{
    for (auto& board : boards) {
        if (board->GiveUpIfSilent(clock.Now()))
            observer.Note("No board answered within " +
                              std::to_string(settings.boardWait.count()) + " seconds; giving up.",
                          board->Port());
    }
}

// Ends, records and tells each board whose job has come to an end.
void StationEngine::FinishEnded()
{
    for (auto& board : boards) {
        if (!board->Finish([this] { Pump(); }))
            continue;
        const std::chrono::duration<double> took = clock.Now() - board->Started();
        recorder.Record(*board, took.count());
    }
}

// While a job is waited for: its send is delivered.
void StationEngine::Pump() { queue.DispatchFor(std::chrono::milliseconds(5)); }

bool StationEngine::AnyRunning() const
{
    return std::any_of(boards.begin(), boards.end(),
                       [](const auto& board) { return !board->Finished(); });
}

bool StationEngine::HasRunningJob(const std::string& port) const
{
    return std::any_of(boards.begin(), boards.end(), [&](const auto& board) {
        return !board->Finished() && board->Port() == port;
    });
}

void StationEngine::Summary()
{
    StationSummary summary;
    recorder.Summarize(summary);
    addresses.Summarize(summary);
    observer.Summary(summary);
}
