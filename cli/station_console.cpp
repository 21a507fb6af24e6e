#include "cli/station_console.h"

#include <algorithm>

namespace {

constexpr int kBarWidth = 20;
// At most one line per 10 %: a log of eight boards stays readable.
constexpr int kPlainProgressStep = 10;

std::string Padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.resize(width, ' ');
    return text;
}

}  // namespace

void StationConsole::Add(const BoardLine* board)
{
    live.push_back(board);
    portWidth = std::max(portWidth, board->port.size() + 2);
    if (terminal) {
        ClearLive();
        DrawLive();
    } else {
        out << board->port << ": MAC " << board->mac << std::endl;
    }
}

void StationConsole::StatusChanged(const BoardLine& board, bool repeated)
{
    if (terminal) {
        ClearLive();
        DrawLive();
    } else if (!repeated) {
        out << board.port << ": " << board.status << std::endl;
    }
}

void StationConsole::ProgressChanged(BoardLine& board)
{
    if (terminal) {
        ClearLive();
        DrawLive();
    } else if (board.printedPercent < 0 || board.percent == 100 ||
               board.percent / kPlainProgressStep > board.printedPercent / kPlainProgressStep) {
        board.printedPercent = board.percent;
        out << board.port << ": Progress: " << board.percent << "%" << std::endl;
    }
}

void StationConsole::Ended(const BoardLine& board, const std::string& verdict)
{
    if (terminal) {
        ClearLive();
        live.erase(std::remove(live.begin(), live.end(), &board), live.end());
        out << Padded(board.port, portWidth) << Padded(board.mac, 18) << verdict << "\n";
        DrawLive();
    } else {
        live.erase(std::remove(live.begin(), live.end(), &board), live.end());
        out << board.port << ": " << verdict << std::endl;
    }
}

void StationConsole::Note(const std::string& text, const std::string& port)
{
    const std::string line = port.empty() ? text : port + ": " + text;
    if (terminal) {
        ClearLive();
        out << line << "\n";
        DrawLive();
    } else {
        out << line << std::endl;
    }
}

std::string StationConsole::LiveText(const BoardLine& board) const
{
    std::string text = Padded(board.port, portWidth) + Padded(board.mac, 18);
    if (board.percent >= 0) {
        const int shown = std::min(board.percent, 100);
        const int filled = shown * kBarWidth / 100;
        text += "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " +
                Padded(std::to_string(shown) + "%", 5);
    }
    text += board.status;
    if (width > 1 && text.size() >= width)
        text.resize(width - 1);
    return text;
}

// Moves up to the first live line and clears from there to the end of the
// screen.
void StationConsole::ClearLive()
{
    if (drawn > 0)
        out << "\x1b[" << drawn << "F";
    out << "\r\x1b[J";
    drawn = 0;
}

void StationConsole::DrawLive()
{
    for (const BoardLine* board : live)
        out << LiveText(*board) << "\n";
    drawn = live.size();
    out << std::flush;
}
