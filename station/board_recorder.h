#pragma once
// Keeps each ended board: tells its end, counts it, and hands its outcome to
// the pool and the report (through the journal while a server is away).

#include "station/board_run.h"
#include "station/outcome_writer.h"
#include "station/station_observer.h"

#include <cstdint>
#include <string>

// What every board's record says of the image and the station.
struct RecordedImage {
    std::string path;  // absolute
    std::string sha256;
    std::uint32_t length = 0;
    std::string host;
};

class BoardRecorder {
public:
    // Either of `pool` and `sink` may be null.
    BoardRecorder(IAddressPool* pool, IBoardSink* sink, std::string journalPath,
                  RecordedImage image, IStationObserver& observer);

    void Record(const BoardRun& board, double seconds);

    // The counts, and what the journal says when asked once more.
    void Summarize(StationSummary& summary);
    // Before anything starts: sends what waits in the journal, notes returned.
    std::vector<std::string> Replay();

    int Failed() const { return failed; }
    int Stopped() const { return stopped; }

private:
    void Count(BoardResult result);
    BoardRecord RecordOf(const BoardRun& board, const std::string& time, double seconds) const;

    const bool keepsReport;
    const RecordedImage image;
    IStationObserver& observer;
    OutcomeWriter writer;
    int programmed = 0;
    int failed = 0;
    int stopped = 0;
};
