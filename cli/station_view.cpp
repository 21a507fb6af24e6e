#include "cli/station_view.h"

#include "job/status_table.h"
#include "platform/console.h"

#include <cstdio>
#include <iostream>

namespace {

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

std::string Verdict(const BoardLine& line, const BoardEnd& end)
{
    if (end.result == BoardResult::Programmed)
        return "programmed in " + Seconds(end.seconds);
    if (end.result == BoardResult::Failed)
        return "FAILED: " + line.status;
    return "not programmed: stopped";
}

}  // namespace

StationView::StationView(bool events)
    : prose(events ? std::cerr : std::cout),
      console(prose, !events && EnableCursorMoves(), TerminalColumns()),
      events(events ? &std::cout : nullptr)
{
}

void StationView::Error(const std::string& text) { std::cerr << text << std::endl; }

void StationView::Note(const std::string& text, const std::string& port)
{
    console.Note(text, port);
}

void StationView::PoolFailed(const PoolResult& failure)
{
    events.PoolFailure(std::string(PoolFailureName(failure.failure)), failure.message);
}

void StationView::AddressGiven(const std::string& port, const std::string& mac)
{
    events.Allocation(port, mac);
}

void StationView::BoardStarted(std::size_t board, const std::string& port, const std::string& mac)
{
    if (lines.size() <= board)
        lines.resize(board + 1);
    lines[board] = std::make_unique<BoardLine>();
    lines[board]->port = port;
    lines[board]->mac = mac;
    console.Add(lines[board].get());
}

void StationView::StatusChanged(std::size_t board, std::int32_t code, bool repeated)
{
    BoardLine& line = *lines[board];
    if (!repeated)
        events.Status(line.port, code);
    line.status = std::string(LookupStatus(code).text);
    console.StatusChanged(line, repeated);
}

void StationView::ProgressChanged(std::size_t board, int percent)
{
    BoardLine& line = *lines[board];
    line.percent = percent;
    events.Progress(line.port, percent);
    console.ProgressChanged(line);
}

void StationView::BoardEnded(std::size_t board, const BoardEnd& end)
{
    const BoardLine& line = *lines[board];
    console.Ended(line, Verdict(line, end));
    events.Result(line.port, line.mac, std::string(BoardResultName(end.result)), end.lastStatus,
                  end.seconds);
}

void StationView::Summary(const StationSummary& summary)
{
    prose << "Boards programmed: " << summary.programmed << "\n";
    prose << "Boards failed: " << summary.failed << "\n";
    if (summary.stopped > 0)
        prose << "Boards not programmed (stopped): " << summary.stopped << "\n";
    for (const std::string& note : summary.journalNotes)
        prose << note << "\n";
    if (summary.waiting > 0)
        prose << "Outcomes waiting for the server: " << summary.waiting << "\n";
    if (!summary.pool) {
        prose << "Addresses used: none from a pool\n" << std::flush;
        return;
    }
    prose << "Addresses used: " << summary.addressesUsed;
    if (summary.left)
        prose << " (" << *summary.left << " left in " << summary.poolName << ")";
    prose << std::endl;
}
