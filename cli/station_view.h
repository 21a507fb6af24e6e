#pragma once
// The station as the console shows it (cli/station_console.h) and, with
// --events json, as a harness reads it (cli/event_stream.h).

#include "cli/event_stream.h"
#include "cli/station_console.h"
#include "station/station_observer.h"

#include <memory>
#include <ostream>
#include <vector>

class StationView final : public IStationObserver {
public:
    // `events`: the JSON lines go to standard output and the prose to
    // standard error.
    explicit StationView(bool events);

    // The stream the prose goes to.
    std::ostream& Prose() const { return prose; }

    void Error(const std::string& text) override;
    void Note(const std::string& text, const std::string& port = {}) override;
    void PoolFailed(const PoolResult& failure) override;
    void AddressGiven(const std::string& port, const std::string& mac) override;
    void BoardStarted(std::size_t board, const std::string& port, const std::string& mac) override;
    void StatusChanged(std::size_t board, std::int32_t code, bool repeated) override;
    void ProgressChanged(std::size_t board, int percent) override;
    void BoardEnded(std::size_t board, const BoardEnd& end) override;
    void Summary(const StationSummary& summary) override;

private:
    std::ostream& prose;
    StationConsole console;
    EventStream events;
    // The console keeps pointers to them until each board ends.
    std::vector<std::unique_ptr<BoardLine>> lines;
};
