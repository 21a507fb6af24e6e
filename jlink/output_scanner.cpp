#include "jlink/output_scanner.h"

#include "jlink/tool_file_names.h"

#include <algorithm>

namespace {

// The piece index follows the echo's marker as two characters.
constexpr std::size_t kIndexDigits = 2;
constexpr std::size_t kMaxErrorText = 200;

// The decimal number that `digits` starts with; 0 when it starts otherwise.
int LeadingNumber(std::string_view digits)
{
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

OutputScanner::OutputScanner()
    : loadingMarker(LoadingPieceMarker()), downloadingMarker(DownloadingPieceMarker())
{
    // Enough that any marker, with its index, that ends in a new chunk is
    // found whole; too little for one already reported to fit again.
    const std::size_t longest = std::max({loadingMarker.size() + kIndexDigits,
                                          downloadingMarker.size() + kIndexDigits,
                                          kErrorMarker.size()});
    keep = longest - 1;
}

OutputScanner::Findings OutputScanner::Scan(std::string_view chunk)
{
    const std::string text = tail + std::string(chunk);
    Findings findings;
    FindError(text, findings);
    std::size_t bestPosition = 0;
    FindPiece(text, loadingMarker, bestPosition, findings);
    FindPiece(text, downloadingMarker, bestPosition, findings);
    tail = text.size() > keep ? text.substr(text.size() - keep) : text;
    return findings;
}

void OutputScanner::FindError(const std::string& text, Findings& findings) const
{
    for (std::size_t at = text.find(kErrorMarker); at != std::string::npos;
         at = text.find(kErrorMarker, at + 1)) {
        if (at + kErrorMarker.size() <= tail.size())
            continue;  // reported with the chunk it arrived in
        findings.error = true;
        const std::size_t end = std::min(text.find_first_of("\r\n", at), at + kMaxErrorText);
        findings.errorText = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        return;
    }
}

void OutputScanner::FindPiece(const std::string& text, const std::string& marker,
                              std::size_t& bestPosition, Findings& findings) const
{
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + marker.size())) {
        const std::size_t end = at + marker.size() + kIndexDigits;
        if (end > text.size() || end <= tail.size())
            continue;  // its index has not arrived yet, or it was reported before
        if (findings.pieceIndex && at < bestPosition)
            continue;
        bestPosition = at;
        findings.pieceIndex = LeadingNumber(std::string_view(text).substr(at + marker.size(), kIndexDigits));
    }
}

int PiecePercent(int index, int pieceCount)
{
    if (pieceCount <= 0)
        return 0;
    return static_cast<int>(static_cast<double>(index) * 100.0 / pieceCount);
}
