#include "station/board_recorder.h"

#include "job/status_table.h"
#include "station/board_report.h"

#include <chrono>

BoardRecorder::BoardRecorder(IAddressPool* pool, IBoardSink* sink, std::string journalPath,
                             RecordedImage image, IStationObserver& observer)
    : keepsReport(sink != nullptr),
      image(std::move(image)),
      observer(observer),
      writer(pool, sink, std::move(journalPath))
{
}

void BoardRecorder::Record(const BoardRun& board, double seconds)
{
    const std::string time = UtcTimeText(std::chrono::system_clock::now());
    Count(board.Result());
    observer.BoardEnded(board.Number(), BoardEnd{board.Result(), board.LastStatus(), seconds});
    BoardOutcome outcome;
    outcome.mac = board.Mac();
    outcome.state =
        board.Result() == BoardResult::Programmed ? PoolState::Programmed : PoolState::Failed;
    outcome.port = board.Port();
    outcome.time = time;
    outcome.imageSha256 = image.sha256;
    if (keepsReport)
        outcome.record = RecordOf(board, time, seconds);
    for (const std::string& note : writer.Write(outcome))
        observer.Note(note, board.Port());
}

void BoardRecorder::Count(BoardResult result)
{
    if (result == BoardResult::Programmed)
        ++programmed;
    else if (result == BoardResult::Failed)
        ++failed;
    else
        ++stopped;
}

BoardRecord BoardRecorder::RecordOf(const BoardRun& board, const std::string& time,
                                    double seconds) const
{
    BoardRecord record;
    record.time = time;
    record.port = board.Port();
    record.mac = board.Mac();
    record.imagePath = image.path;
    record.imageSha256 = image.sha256;
    record.imageLength = image.length;
    record.statusCode = board.LastStatus();
    record.statusText = std::string(LookupStatus(board.LastStatus()).text);
    record.result = std::string(BoardResultName(board.Result()));
    record.seconds = seconds;
    record.host = image.host;
    return record;
}

void BoardRecorder::Summarize(StationSummary& summary)
{
    summary.programmed = programmed;
    summary.failed = failed;
    summary.stopped = stopped;
    summary.journalNotes = Replay();
    summary.waiting = writer.Waiting();
}

std::vector<std::string> BoardRecorder::Replay()
{
    std::vector<std::string> notes;
    writer.Replay(notes);
    return notes;
}
