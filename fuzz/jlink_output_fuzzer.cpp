// The tool's output cut into chunks at points the input chooses: the pipe may
// hand it over in any pieces. The error marker is reported exactly in the
// chunks where one of its occurrences in the whole output ends, so once per
// marker however the output is cut, and never when the output holds none;
// the text reported is the marker's line as far as it has arrived.
//
// Input: the output's text, then (read from the end) how many cuts to make
// and where.

#include "jlink/tool_file_names.h"
#include "jlink/output_scanner.h"

#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxCuts = 32;
constexpr std::size_t kMaxErrorText = 200;

// Where each occurrence of the marker ends in `text`.
std::vector<std::size_t> MarkerEnds(const std::string& text)
{
    std::vector<std::size_t> ends;
    for (std::size_t at = text.find(kErrorMarker); at != std::string::npos;
         at = text.find(kErrorMarker, at + 1))
        ends.push_back(at + kErrorMarker.size());
    return ends;
}

// The marker's line as far as `arrived` bytes of the output have come.
std::string LineSoFar(const std::string& text, std::size_t at, std::size_t arrived)
{
    std::size_t end = std::min({text.find_first_of("\r\n", at), arrived, at + kMaxErrorText});
    return text.substr(at, end - at);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider input(bytes, size);
    const std::size_t cutCount = input.ConsumeIntegralInRange<std::size_t>(0, kMaxCuts);
    std::vector<std::uint16_t> cuts;
    for (std::size_t i = 0; i < cutCount; ++i)
        cuts.push_back(input.ConsumeIntegral<std::uint16_t>());
    const std::string text = input.ConsumeRemainingBytesAsString();

    std::vector<std::size_t> bounds{0, text.size()};
    for (std::uint16_t cut : cuts)
        bounds.push_back(cut % (text.size() + 1));
    std::sort(bounds.begin(), bounds.end());  // equal cuts give empty chunks, as a read may

    const std::vector<std::size_t> ends = MarkerEnds(text);
    OutputScanner scanner;
    std::size_t reports = 0;
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        const std::size_t begin = bounds[i];
        const std::size_t end = bounds[i + 1];
        const auto findings = scanner.Scan(std::string_view(text).substr(begin, end - begin));
        const auto first = std::find_if(ends.begin(), ends.end(),
                                         [&](std::size_t e) { return e > begin && e <= end; });
        FUZZ_CHECK(findings.error == (first != ends.end()));
        if (findings.error) {
            ++reports;
            const std::size_t at = *first - kErrorMarker.size();
            FUZZ_CHECK(findings.errorText == LineSoFar(text, at, end));
        } else {
            FUZZ_CHECK(findings.errorText.empty());
        }
        if (findings.pieceIndex)
            FUZZ_CHECK(*findings.pieceIndex >= 0 && *findings.pieceIndex <= 99);
    }
    FUZZ_CHECK((reports > 0) == (text.find(kErrorMarker) != std::string::npos));
    FUZZ_CHECK(reports <= ends.size());
    if (ends.size() == 1)
        FUZZ_CHECK(reports == 1);
    return 0;
}
