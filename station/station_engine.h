#pragma once
// The station: one job per board, all running at once, their messages told
// apart on the way into one queue that the station's thread serves; each
// board's address from the pool and its outcome kept; boards given up when
// silent, stopped on Ctrl-C, and, when watching, taken as they are plugged in.

#include "job/message_queue.h"
#include "station/address_source.h"
#include "station/board_job.h"
#include "station/board_recorder.h"
#include "station/board_run.h"
#include "station/clock.h"
#include "station/port_watch.h"
#include "station/station_observer.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct StationSettings {
    bool all = false;                 // watching: every port, not only `ports`
    std::vector<std::string> ports;   // watching: the ports to take boards at
    bool watching = false;            // boards are taken as they appear
    std::optional<std::string> mac;   // without a pool: the one board's address
    std::chrono::seconds boardWait{30};
    std::string journalPath;
    RecordedImage image;
};

// What the station is made of besides its settings; the first three must
// outlive it.
struct StationWiring {
    IClock* clock = nullptr;
    IBoardJobFactory* jobs = nullptr;
    IStationObserver* observer = nullptr;
    std::unique_ptr<IAddressPool> pool;  // null: every board gets the one address
    std::unique_ptr<IBoardSink> sink;    // null: no report
};

enum class StationEnd { AllProgrammed, NotAllProgrammed, Interrupted };

class StationEngine {
public:
    StationEngine(StationSettings settings, StationWiring wiring,
                  const std::atomic<bool>& stopRequested);
    ~StationEngine();
    StationEngine(const StationEngine&) = delete;
    StationEngine& operator=(const StationEngine&) = delete;

    // Sends what waits in the journal, then checks the pool and the report
    // before anything starts; false (the reason told) when the station
    // cannot go on.
    bool CheckPool();
    // Programs the boards at `ports` and waits until each has ended.
    StationEnd RunOnce(const std::vector<std::string>& ports);
    // Programs every board that appears, until Ctrl-C or the pool is used up.
    StationEnd Watch(std::unique_ptr<IPortWatch> ports);

private:
    bool Refuse(const PoolResult& failure);
    void StartBoard(const std::string& port, const std::string& mac);
    LParam Handle(unsigned message, WParam wparam, LParam lparam);
    StationEnd Loop();
    StationEnd Interrupt();
    void GiveUpOnSilentBoards();
    void FinishEnded();
    void Pump();
    bool AnyRunning() const;
    bool HasRunningJob(const std::string& port) const;
    void Summary();
    // Hot-plug (station_watch.cpp).
    bool RetryDue() const;
    std::vector<std::string> PortsToServe() const;
    void ForgetRemovedPorts(const std::vector<std::string>& present);
    void TakeNewBoards();
    bool TakeBoard(const std::string& port);

    const StationSettings settings;
    const std::atomic<bool>& stopRequested;
    IClock& clock;
    IBoardJobFactory& jobs;
    IStationObserver& observer;
    std::unique_ptr<IAddressPool> pool;
    std::unique_ptr<IBoardSink> sink;
    AddressSource addresses;
    BoardRecorder recorder;
    // Before the boards: their jobs send into it, so it must outlive them.
    CMessageQueue queue;
    std::vector<std::unique_ptr<BoardRun>> boards;
    std::unique_ptr<IPortWatch> portWatch;
    std::set<std::string> served;  // ports whose board has had its job
    bool portsChanged = false;
    bool poolUsedUp = false;
    std::optional<IClock::TimePoint> retryAt;  // the pool was away: when to try it again
};
