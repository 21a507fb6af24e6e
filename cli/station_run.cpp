// quillmark-flash station: one serial job per board, all running at once,
// their messages told apart on the way into one queue that the main thread
// serves, as the dialog serves its one job.

#include "cli/commands.h"
#include "cli/event_stream.h"
#include "cli/pool_source.h"
#include "cli/station.h"
#include "cli/station_console.h"
#include "discovery/com_port_manager.h"
#include "flash/flash_layout.h"
#include "images/flash_image.h"
#include "images/prepare_request.h"
#include "job/job_messages.h"
#include "job/message_queue.h"
#include "job/status_table.h"
#include "platform/console.h"
#include "platform/machine.h"
#include "platform/text_paths.h"
#include "serial/serial_job.h"
#include "station/board_report.h"
#include "station/outcome_writer.h"
#include "station/sha256.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <set>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kExitInterrupted = 130;

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

// The port monitor's owner: only the ports matter here.
class PortChanges final : public IBoardManager {
public:
    explicit PortChanges(IMessageTarget& queue) : queue(queue) {}
    void OnComPortsChanged() override { queue.Post(WM_COMPORTS_CHANGED, 0, 0); }
    void OnJLinkChanged() override {}

private:
    IMessageTarget& queue;
};

enum class Result { Running, Programmed, Failed, Stopped };

struct Board {
    BoardLine line;
    std::unique_ptr<ISerialPortFactory> ports;
    std::unique_ptr<BoardTarget> target;
    std::unique_ptr<JobMessages> reports;  // the job's reports as messages to the target
    std::unique_ptr<SerialJob> job;
    std::int32_t lastStatus = 0;
    bool connected = false;
    bool stopNeeded = false;  // the station ends the job; it will not end by itself
    bool finished = false;    // joined and recorded
    Result result = Result::Running;
    Clock::time_point started = Clock::now();
};

std::string ResultName(Result result)
{
    switch (result) {
    case Result::Programmed: return "programmed";
    case Result::Failed: return "failed";
    case Result::Stopped: return "stopped";
    case Result::Running: break;
    }
    return "running";
}

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

std::string UtcNow() { return UtcTimeText(std::chrono::system_clock::now()); }

// A pool that may answer again soon: the station waits for it instead of
// ending, and takes no board meanwhile.
bool Passing(PoolFailure failure)
{
    return failure == PoolFailure::Unreachable || failure == PoolFailure::Locked;
}

std::ostream& Prose(const StationOptions& options) { return options.events ? std::cerr : std::cout; }

class Station {
public:
    Station(const StationOptions& options, std::unique_ptr<IAddressPool> pool,
            std::unique_ptr<IBoardSink> sink, std::string imageSha256, std::uint32_t imageLength,
            const std::atomic<bool>& stopRequested)
        : options(options),
          imagePath(TextOfPath(std::filesystem::absolute(PathOfText(options.image)))),
          imageSha256(std::move(imageSha256)),
          imageLength(imageLength),
          stopRequested(stopRequested),
          console(Prose(options), !options.events && EnableCursorMoves(), TerminalColumns()),
          events(options.events ? &std::cout : nullptr),
          pool(std::move(pool)),
          sink(std::move(sink)),
          writer(this->pool.get(), this->sink.get(),
                 options.journal.empty() ? DefaultJournalPath() : options.journal),
          queue([this](unsigned m, WParam w, LParam l) { return Handle(m, w, l); })
    {
    }

    ~Station()
    {
        // The monitor posts into the queue: it goes first.
        if (monitor)
            monitor->Stop();
    }

    // Sends what waits in the journal, then checks the pool and the report
    // before anything starts; false (the reason shown) when the station
    // cannot go on.
    bool CheckPool()
    {
        std::vector<std::string> notes;
        writer.Replay(notes);
        for (const std::string& note : notes)
            std::cerr << note << "\n";
        if (sink) {
            if (const PoolResult checked = sink->Check(); !checked.Ok())
                return Refuse(checked);
        }
        if (!pool)
            return true;
        // A run of given boards learns at its allocation how many are short.
        // Its warnings (torn lines) come with the allocation, once.
        const PoolResult checked = pool->Check(options.watch ? 1 : 0);
        return checked.Ok() || Refuse(checked);
    }

    // Programs the boards at `ports` and waits until each has ended.
    int RunOnce(const std::vector<std::string>& ports)
    {
        // Ctrl-C while the image was read: no address is spent, no board opened.
        if (stopRequested)
            return kExitInterrupted;
        std::vector<std::string> macs;
        if (Allocate(ports, macs) != PoolFailure::None) {
            console.Note("No board was touched.");
            return kExitFailure;
        }
        if (!pool && !options.mac)
            console.Note("No --mac-pool: the board gets " + macs.front() + ".");
        for (std::size_t i = 0; i < ports.size(); ++i)
            StartBoard(ports[i], macs[i]);
        return Loop();
    }

    // Programs every board that appears, until Ctrl-C or the pool is used up.
    int Watch()
    {
        portSource = MakePortMapSource(options.roots);
        portOwner = std::make_unique<PortChanges>(queue);
        monitor = std::make_unique<CComPortManager>(portOwner.get(), *portSource);
        monitor->Start();
        console.Note(options.all ? "Watching for boards; Ctrl-C ends."
                                 : "Watching the given ports for boards; Ctrl-C ends.");
        portsChanged = true;
        return Loop();
    }

private:
    bool Refuse(const PoolResult& failure)
    {
        events.PoolFailure(std::string(PoolFailureName(failure.failure)), failure.message);
        std::cerr << (failure.message.starts_with("report ") ? "The " : "") << failure.message
                  << "\nNo board was touched." << std::endl;
        return false;
    }

    // The addresses, committed, or the kind of failure (its reason shown).
    PoolFailure Allocate(const std::vector<std::string>& ports, std::vector<std::string>& macs)
    {
        if (!pool) {
            macs.assign(ports.size(), options.mac.value_or(kDefaultMacText));
            return PoolFailure::None;
        }
        PoolResult allocation = pool->Allocate(ports, UtcNow(), imageSha256);
        for (const std::string& warning : allocation.warnings)
            console.Note("Warning: MAC pool " + pool->Name() + ", " + warning);
        if (!allocation.Ok()) {
            events.PoolFailure(std::string(PoolFailureName(allocation.failure)), allocation.message);
            // A watching station tries again every few seconds: the same reason once.
            if (allocation.message != lastPoolFailure)
                console.Note(allocation.message);
            lastPoolFailure = allocation.message;
            return allocation.failure;
        }
        lastPoolFailure.clear();
        macs = std::move(allocation.macs);
        addressesUsed += macs.size();
        for (std::size_t i = 0; i < ports.size(); ++i)
            events.Allocation(ports[i], macs[i]);
        return PoolFailure::None;
    }

    void StartBoard(const std::string& port, const std::string& mac)
    {
        auto board = std::make_unique<Board>();
        board->line.port = port;
        board->line.mac = mac;
        board->ports = MakeSerialPortFactory();
        board->target = std::make_unique<BoardTarget>(queue, boards.size());
        board->reports = std::make_unique<JobMessages>(*board->target);
        board->job = std::make_unique<SerialJob>(board->reports.get(), *board->ports,
                                                 options.timing == "fixed" ? SerialTiming::Fixed()
                                                                           : SerialTiming::Prompt());
        CBoardInfo& info = board->job->boardInfo;
        // A tty name below another device tree (the tests' fake machine) is
        // opened there; it is shown and recorded by its name.
        const bool elsewhere = !options.roots.dev.empty() && port.find('/') == std::string::npos;
        info.portName = elsewhere ? options.roots.dev + "/" + port : port;
        // The image was read and its messages shown once, before any board.
        PrepareRequest(info, options.image, TextOfPath(PathOfText(options.image).filename()), mac);
        boards.push_back(std::move(board));
        console.Add(&boards.back()->line);
        boards.back()->job->writer->Start();
    }

    LParam Handle(unsigned message, WParam wparam, LParam lparam)
    {
        if (message == WM_COMPORTS_CHANGED) {
            portsChanged = true;
            return 0;
        }
        if (lparam < 0 || static_cast<std::size_t>(lparam) >= boards.size())
            return 0;
        Board& board = *boards[static_cast<std::size_t>(lparam)];
        if (message == WM_JOB_STATUS)
            OnStatus(board, StatusOfMessage(wparam));
        else if (message == WM_JOB_PROGRESS && static_cast<int>(wparam) != board.line.percent) {
            board.line.percent = static_cast<int>(wparam);
            events.Progress(board.line.port, board.line.percent);
            console.ProgressChanged(board.line);
        } else if (message == WM_JOB_MESSAGE) {
            console.Note(TextOfMessage(wparam), board.line.port);
        }
        return 0;
    }

    void OnStatus(Board& board, const JobStatus& status)
    {
        const std::int32_t code = status.code;
        const StatusRow& row = LookupStatus(code);
        const bool repeated = code == board.lastStatus;
        board.lastStatus = code;
        if (!repeated)
            events.Status(board.line.port, code);
        board.line.status = std::string(row.text);
        console.StatusChanged(board.line, repeated);
        if (repeated || board.finished)
            return;
        // The job's own verdict wins, also over a stop that came too late:
        // success is reported only once the header, written last, is in.
        if (row.outcome == JobOutcome::Succeeded)
            board.result = Result::Programmed;
        else if (row.outcome == JobOutcome::Failed)
            board.result = Result::Failed;
        if (board.result != Result::Running)
            return;
        if (!status.openFailure.empty()) {
            console.Note(status.openFailure, board.line.port);
            // A file or a folder will not turn into a terminal while we wait.
            if (status.hopeless) {
                board.result = Result::Failed;
                board.stopNeeded = true;
            }
        }
        if (!IsWaitingForBoard(code))
            board.connected = true;
    }

    void Pump() { queue.DispatchFor(std::chrono::milliseconds(5)); }

    int Loop()
    {
        for (;;) {
            queue.DispatchFor(std::chrono::milliseconds(100));
            if (stopRequested) {
                console.Note("Interrupted; stopping the running jobs.");
                // One after the other, each marked only as its turn comes:
                // a job that ends by itself meanwhile keeps its own verdict.
                for (auto& board : boards) {
                    if (board->result == Result::Running) {
                        board->result = Result::Stopped;
                        board->stopNeeded = true;
                        board->job->writer->Stop([this] { Pump(); });
                    }
                }
                FinishEnded();
                Summary();
                return kExitInterrupted;
            }
            GiveUpOnSilentBoards();
            FinishEnded();
            if (!poolUsedUp && (portsChanged || RetryDue())) {
                portsChanged = false;
                TakeNewBoards();
            }
            const bool running = std::any_of(boards.begin(), boards.end(),
                                             [](const auto& board) { return !board->finished; });
            if (!running && (!monitor || poolUsedUp)) {
                Summary();
                const bool allProgrammed = failed + stopped == 0 && !boards.empty() && !poolUsedUp;
                return allProgrammed ? kExitSuccess : kExitFailure;
            }
        }
    }

    void GiveUpOnSilentBoards()
    {
        const auto limit = std::chrono::seconds(options.waitSeconds);
        for (auto& board : boards) {
            if (board->result != Result::Running || board->connected ||
                Clock::now() - board->started <= limit)
                continue;
            console.Note("No board answered within " + std::to_string(options.waitSeconds) +
                             " seconds; giving up.",
                         board->line.port);
            board->result = Result::Failed;
            board->stopNeeded = true;
        }
    }

    // Ends, records and reports each board whose job has come to an end.
    void FinishEnded()
    {
        const auto pump = [this] { Pump(); };
        for (std::size_t i = 0; i < boards.size(); ++i) {
            Board& board = *boards[i];
            if (board.finished || board.result == Result::Running)
                continue;
            if (board.stopNeeded)
                board.job->writer->Stop(pump);
            else
                board.job->writer->Join(pump);
            board.finished = true;
            Record(board);
        }
    }

    void Record(Board& board)
    {
        const double seconds = std::chrono::duration<double>(Clock::now() - board.started).count();
        const std::string time = UtcNow();
        std::string verdict;
        if (board.result == Result::Programmed) {
            ++programmed;
            verdict = "programmed in " + Seconds(seconds);
        } else if (board.result == Result::Failed) {
            ++failed;
            verdict = "FAILED: " + board.line.status;
        } else {
            ++stopped;
            verdict = "not programmed: stopped";
        }
        console.Ended(board.line, verdict);
        events.Result(board.line.port, board.line.mac, ResultName(board.result), board.lastStatus,
                      seconds);
        BoardOutcome outcome;
        outcome.mac = board.line.mac;
        outcome.state = board.result == Result::Programmed ? PoolState::Programmed : PoolState::Failed;
        outcome.port = board.line.port;
        outcome.time = time;
        outcome.imageSha256 = imageSha256;
        if (sink)
            outcome.record = RecordOf(board, time, seconds);
        for (const std::string& note : writer.Write(outcome))
            console.Note(note, board.line.port);
    }

    BoardRecord RecordOf(const Board& board, const std::string& time, double seconds) const
    {
        BoardRecord record;
        record.time = time;
        record.port = board.line.port;
        record.mac = board.line.mac;
        record.imagePath = imagePath;
        record.imageSha256 = imageSha256;
        record.imageLength = imageLength;
        record.statusCode = board.lastStatus;
        record.statusText = std::string(LookupStatus(board.lastStatus).text);
        record.result = ResultName(board.result);
        record.seconds = seconds;
        record.host = StationHostName();
        return record;
    }

    bool RetryDue() const
    {
        return retryAt && Clock::now() >= *retryAt;
    }

    // Starts a job on each board port that appeared since the last look. A
    // port that has had its job waits until it goes away and comes back.
    void TakeNewBoards()
    {
        std::vector<std::string> present = monitor->Ports();
        if (!options.all) {
            std::erase_if(present, [this](const std::string& port) {
                return std::find(options.ports.begin(), options.ports.end(), port) ==
                       options.ports.end();
            });
        }
        const auto isPresent = [&](const std::string& port) {
            return std::find(present.begin(), present.end(), port) != present.end();
        };
        const auto hasRunningJob = [this](const std::string& port) {
            return std::any_of(boards.begin(), boards.end(), [&](const auto& board) {
                return !board->finished && board->line.port == port;
            });
        };
        std::erase_if(served, [&](const std::string& port) {
            if (isPresent(port) || hasRunningJob(port))
                return false;
            console.Note("board removed; the next one plugged in here is programmed", port);
            return true;
        });
        for (const std::string& port : present) {
            if (served.contains(port))
                continue;
            std::vector<std::string> macs;
            const PoolFailure failure = Allocate({port}, macs);
            if (Passing(failure)) {
                if (!retryAt)
                    console.Note("No board is started without an address: trying the pool again "
                                 "every few seconds.");
                retryAt = Clock::now() + std::chrono::seconds(2);
                return;
            }
            if (failure != PoolFailure::None) {
                poolUsedUp = true;
                console.Note("No more boards are taken; the station ends when the running ones have.");
                return;
            }
            retryAt.reset();
            served.insert(port);
            StartBoard(port, macs.front());
        }
    }

    void Summary()
    {
        std::ostream& out = Prose(options);
        out << "Boards programmed: " << programmed << "\n";
        out << "Boards failed: " << failed << "\n";
        if (stopped > 0)
            out << "Boards not programmed (stopped): " << stopped << "\n";
        std::vector<std::string> notes;
        writer.Replay(notes);
        for (const std::string& note : notes)
            out << note << "\n";
        if (const std::size_t waiting = writer.Waiting(); waiting > 0)
            out << "Outcomes waiting for the server: " << waiting << "\n";
        if (!pool) {
            out << "Addresses used: none from a pool\n" << std::flush;
            return;
        }
        out << "Addresses used: " << addressesUsed;
        PoolSummary summary;
        if (pool->Summarize(summary).Ok())
            out << " (" << summary.left << " left in " << pool->Name() << ")";
        out << std::endl;
    }

    const StationOptions& options;
    const std::string imagePath;
    const std::string imageSha256;
    const std::uint32_t imageLength;
    const std::atomic<bool>& stopRequested;
    StationConsole console;
    EventStream events;
    std::unique_ptr<IAddressPool> pool;
    std::unique_ptr<IBoardSink> sink;
    OutcomeWriter writer;
    // Before the boards: their jobs send into it, so it must outlive them.
    CMessageQueue queue;
    std::vector<std::unique_ptr<Board>> boards;
    std::set<std::string> served;
    bool portsChanged = false;
    bool poolUsedUp = false;
    std::optional<Clock::time_point> retryAt;  // the pool was away: when to try it again
    std::string lastPoolFailure;  // the reason last shown, while it lasts
    std::size_t addressesUsed = 0;
    int programmed = 0;
    int failed = 0;
    int stopped = 0;
    std::unique_ptr<IPortMapSource> portSource;
    std::unique_ptr<PortChanges> portOwner;
    std::unique_ptr<CComPortManager> monitor;
};

}  // namespace

int RunStation(const StationOptions& options)
{
    std::vector<std::string> ports = options.ports;
    if (options.all && !options.watch) {
        const auto source = MakePortMapSource(options.roots);
        if (!source->Open()) {
            std::cerr << "The machine's serial ports cannot be read (" << source->FailedCall()
                      << ")." << std::endl;
            return kExitFailure;
        }
        ports = source->ReadPorts();
        if (ports.empty()) {
            std::cerr << "No board detected." << std::endl;
            return kExitFailure;
        }
    }
    if (options.mac && (options.watch || ports.size() != 1)) {
        std::cerr << "--mac gives one address, and one address for several boards is never right: "
                     "give a --mac-pool instead."
                  << std::endl;
        return kExitUsage;
    }
    // Without a pool every board would get the same default address.
    if (options.macPool.empty() && !options.mac && (options.watch || options.all || ports.size() != 1)) {
        std::cerr << "Several boards need a --mac-pool: one address for several boards is never right."
                  << std::endl;
        return kExitUsage;
    }

    // The image is read once here to refuse it before any board is touched.
    FlashImage image;
    const ImageLoad load = image.Load(options.image);
    load.Tell(std::cerr);
    if (!load || !ImageFitsFlash(image.length)) {
        if (image.data)
            std::cerr << ImageTooLongMessage(image.length) << "\n";
        std::cerr << "The image " << options.image << " cannot be programmed; no board was touched."
                  << std::endl;
        return kExitFailure;
    }
    const auto sha = Sha256OfFile(options.image);
    if (!sha) {
        std::cerr << "The image " << options.image << " cannot be read; no board was touched."
                  << std::endl;
        return kExitFailure;
    }

    std::string error;
    std::unique_ptr<IAddressPool> pool;
    std::unique_ptr<IBoardSink> sink;
    if (!options.macPool.empty())
        pool = OpenAddressPool(options.macPool, error);
    if (!options.report.empty() && error.empty())
        sink = OpenBoardSink(options.report, error);
    if (!error.empty()) {
        std::cerr << error << "; no board was touched." << std::endl;
        return kExitUsage;
    }

    // Before any job or monitor thread starts, so that Ctrl-C reaches it.
    // The station's loop looks at the flag at least every 100 ms.
    std::atomic<bool> stopRequested{false};
    ConsoleStopWatch stopWatch([&stopRequested] { stopRequested = true; });
    // A report that cannot be written would lose every board's record; the
    // station checks it with the pool.
    auto station = std::make_unique<Station>(options, std::move(pool), std::move(sink), *sha,
                                             image.length, stopRequested);
    if (!station->CheckPool())
        return kExitFailure;
    const int exitCode = options.watch ? station->Watch() : station->RunOnce(ports);
    station.reset();  // every job and the monitor end before the watch goes
    return exitCode;
}
