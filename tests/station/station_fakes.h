#pragma once
// Stand-ins for what the station engine is built from: a clock that moves on
// by itself, jobs that report chosen statuses, a pool that fails when told,
// a port watch the test fills, and an observer that keeps what it was told.

#include "job/job_events.h"
#include "job/status_codes.h"
#include "platform/serial_port.h"
#include "station/address_pool.h"
#include "station/board_job.h"
#include "station/clock.h"
#include "station/port_watch.h"
#include "station/station_observer.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Every look moves time on by `step`: a board's wait runs out after a few
// turns of the station's loop.
class SteppingClock final : public IClock {
public:
    explicit SteppingClock(std::chrono::seconds step) : step(step) {}
    TimePoint Now() const override { return now += step; }

private:
    const std::chrono::seconds step;
    mutable TimePoint now{};
};

// What a fake job does: the statuses it reports when started, and why its
// port did not open.
struct JobScript {
    std::vector<std::int32_t> statuses;
    PortOpenFailure openFailure = PortOpenFailure::Busy;
};

struct JobLog {
    std::string port;
    std::string mac;
    bool stopped = false;
    bool joined = false;
};

class FakeJobs final : public IBoardJobFactory {
public:
    std::unique_ptr<IBoardJob> Make(const std::string& port, const std::string& mac,
                                    IMessageTarget& target) override;

    std::map<std::string, std::deque<JobScript>> scripts;  // per port, one per job made there
    std::deque<JobLog> made;
};

class FakePool final : public IAddressPool {
public:
    std::string Name() const override { return "fake pool"; }
    PoolResult Check(std::size_t) override { return {}; }
    PoolResult Allocate(const std::vector<std::string>& ports, std::string_view,
                        std::string_view) override;
    PoolResult Record(const std::string& mac, PoolState state, std::string_view, std::string_view,
                      std::string_view) override;
    PoolResult Summarize(PoolSummary& summary) override;
    PoolResult Init(std::uint64_t, std::uint64_t) override { return {}; }

    std::deque<PoolFailure> failures;  // the next allocations fail so
    std::uint64_t next = 0x10;
    std::map<std::string, PoolState> states;
};

class FakePortWatch final : public IPortWatch {
public:
    void Start(std::function<void()> onChange) override { changed = std::move(onChange); }
    std::vector<std::string> Ports() const override { return ports; }
    void Stop() override {}
    void Set(std::vector<std::string> now)
    {
        ports = std::move(now);
        changed();
    }

private:
    std::vector<std::string> ports;
    std::function<void()> changed;
};

struct Ended {
    std::string port;
    std::string mac;
    BoardResult result;
};

class RecordingObserver final : public IStationObserver {
public:
    void Error(const std::string& text) override { notes.push_back(text); }
    void Note(const std::string& text, const std::string& port) override;
    void PoolFailed(const PoolResult& failure) override { poolFailures.push_back(failure.failure); }
    void AddressGiven(const std::string&, const std::string&) override {}
    void BoardStarted(std::size_t, const std::string& port, const std::string& mac) override;
    void StatusChanged(std::size_t, std::int32_t, bool) override {}
    void ProgressChanged(std::size_t, int) override {}
    void BoardEnded(std::size_t board, const BoardEnd& end) override;
    void Summary(const StationSummary& figures) override { summary = figures; }

    // The test's hooks: a note with this text, a board's end.
    std::function<void(const std::string& text)> onNote;
    std::function<void(const Ended& ended)> onEnd;

    std::vector<std::string> notes;  // "port: text", or the text alone
    std::vector<PoolFailure> poolFailures;
    std::vector<std::pair<std::string, std::string>> started;  // port, mac
    std::vector<Ended> ended;
    StationSummary summary;
};
