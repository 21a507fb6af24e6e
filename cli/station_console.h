#pragma once
// What the station shows while it runs. On a terminal: a live line per
// running board (port, MAC, status, bar) kept at the bottom, with finished
// boards and notes scrolling above it. Otherwise one plain line per status
// change, each prefixed by its port, for logs and scripts.

#include <ostream>
#include <string>
#include <vector>

struct BoardLine {
    std::string port;
    std::string mac;
    std::string status;
    int percent = -1;  // none yet
    int printedPercent = -1;  // the last progress written as a plain line
};

class StationConsole {
public:
    // `width`: the terminal's columns; live lines are cut to fit, so that
    // none wraps and the redraw finds each where it left it.
    StationConsole(std::ostream& out, bool terminal, std::size_t width = 80)
        : out(out), terminal(terminal), width(width)
    {
    }

    // A board starts: it gets its live line. The line must stay valid until
    // the board ends.
    void Add(const BoardLine* board);
    void StatusChanged(const BoardLine& board, bool repeated);
    void ProgressChanged(BoardLine& board);
    // The board's last line, kept above the live ones.
    void Ended(const BoardLine& board, const std::string& verdict);
    // A line above the live ones (prefixed by the port when one is given).
    void Note(const std::string& text, const std::string& port = {});

private:
    std::string LiveText(const BoardLine& board) const;
    void ClearLive();
    void DrawLive();

    std::ostream& out;
    const bool terminal;
    const std::size_t width;
    std::vector<const BoardLine*> live;
    std::size_t drawn = 0;  // live lines on the screen now
    std::size_t portWidth = 10;  // the port column: as wide as the longest port so far
};
