#pragma once
// Follows the J-Link tool's output chunk by chunk for its two markers: the
// error marker, and the echo of a piece being loaded, which tells the
// progress. A marker may be cut between two reads of the pipe, so the end of
// each chunk is kept and searched again with the next one.

#include <optional>
#include <string>
#include <string_view>

class OutputScanner {
public:
    struct Findings {
        bool error = false;
        std::string errorText;           // the marker's line as far as it has arrived
        std::optional<int> pieceIndex;   // the last piece echoed in this chunk
    };

    OutputScanner();

    // Findings that end inside `chunk`: a marker seen in an earlier chunk is
    // not reported again.
    Findings Scan(std::string_view chunk);

private:
    void FindError(const std::string& text, Findings& findings) const;
    void FindPiece(const std::string& text, const std::string& marker, std::size_t& bestPosition,
                   Findings& findings) const;

    std::string loadingMarker;
    std::string downloadingMarker;
    std::size_t keep;   // bytes of the previous chunks kept in `tail`
    std::string tail;
};

// The percentage of piece `index` of `pieceCount`, truncated.
int PiecePercent(int index, int pieceCount);
