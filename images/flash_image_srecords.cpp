#include "images/flash_image.h"

#include "flash/flash_layout.h"
#include "images/image_problem.h"
#include "images/srecord_record.h"
#include "images/srecord_tally.h"
#include "images/text_line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// The image must fit the block; the refusal names the limit the jobs apply.
std::string BlockProblem(const SRecord& record)
{
    if (record.End() <= FlashImage::kBlockSize)
        return {};
    char address[16];
    std::snprintf(address, sizeof address, "0x%X",
                  std::max<std::uint32_t>(record.address, FlashImage::kBlockSize));
    return std::string("puts data at address ") + address + "; at most " +
           std::to_string(kMaxImageLength) + " bytes fit in the flash behind its 8-byte header";
}

// The "File has size 0" refusal, with why this file has no size.
std::optional<ImageProblem> SRecordSizeProblem(const SRecordTally& tally, const std::string& path)
{
    if (!tally.Complete()) {
        return FileProblem("ERROR: File has size 0 !", path,
                           "the termination record (S7, S8 or S9) is missing and no record count "
                           "(S5 or S6) follows the last data record; the file may be truncated");
    }
    if (tally.HighestEnd() == 0) {
        return FileProblem("ERROR: File has size 0 !", path,
                           tally.Terminated() ? "no data bytes come before its termination record"
                                              : "no data bytes come before its record count");
    }
    return std::nullopt;
}

}  // namespace

bool FlashImage::LoadSRecords(const std::string& path)
{
    std::uint32_t size = 0;
    if (!MeasureSRecords(path, size) || !AllocateBlock(path))
        return false;
    length = size;
    if (!ReadSRecords(path))
        return false;
    data = buffer.get();
    return true;
}

bool FlashImage::NextRecord(TextLineReader& reader, const std::string& path, SRecord& record,
                            bool& refused)
{
    refused = false;
    std::string problem;
    switch (reader.Next(lineBuffer, sizeof lineBuffer)) {
    case TextLineReader::Line::End:
        return false;
    case TextLineReader::Line::TooLong:
        problem = "is longer than 1023 characters";
        break;
    case TextLineReader::Line::HasNul:
        problem = "holds a NUL byte, which is no text";
        break;
    case TextLineReader::Line::ReadError:
        refused = true;
        return Refuse(FileProblem("ERROR!: Could not read from the file  ", path,
                                  std::strerror(reader.Error())));
    case TextLineReader::Line::Read:
        problem = ParseSRecord(lineBuffer, record);
        break;
    }
    if (problem.empty())
        return true;
    refused = true;
    return Refuse(LineProblem(path, reader.LineNumber(), problem));
}

bool FlashImage::MeasureSRecords(const std::string& path, std::uint32_t& size)
{
    TextLineReader reader(path);
    if (!reader.IsOpen()) {
        errno = reader.Error();
        std::perror("Error opening file");
        return Refuse(FileProblem("ERROR: Unable to get Flash File size 3!", path,
                        std::strerror(reader.Error())));
    }
    SRecordTally tally;
    SRecord record;
    bool refused = false;
    while (!tally.Terminated() && NextRecord(reader, path, record, refused)) {
        const std::string problem = tally.Add(record);
        if (!problem.empty()) {
            return Refuse(LineProblem(path, reader.LineNumber(), problem));
        }
    }
    if (refused)
        return false;
    if (auto problem = SRecordSizeProblem(tally, path))
        return Refuse(std::move(*problem));
    size = static_cast<std::uint32_t>(std::min<std::uint64_t>(tally.HighestEnd(), UINT32_MAX));
    return true;
}

// A run is listed when it holds bytes; the run that starts out empty at
// address 0 before the first record is none.
void FlashImage::AddRun(std::uint32_t start, std::uint32_t end)
{
    if (start != end)
        intervals.push_back({start, end});
}

bool FlashImage::ReadSRecords(const std::string& path)
{
    intervals.clear();
    std::fill(buffer.get(), buffer.get() + kBlockSize, 0xFF);
    TextLineReader reader(path);
    if (!reader.IsOpen()) {
        return Refuse(FileProblem("ERROR!: Could not read from the file  ", path,
                        std::strerror(reader.Error())));
    }
    std::uint32_t runStart = 0;
    std::uint32_t runEnd = 0;
    SRecord record;
    bool refused = false;
    while (NextRecord(reader, path, record, refused) && record.kind != SRecord::Kind::Termination) {
        if (record.kind != SRecord::Kind::Data)
            continue;
        const std::string problem = BlockProblem(record);
        if (!problem.empty()) {
            return Refuse(LineProblem(path, reader.LineNumber(), problem));
        }
        if (record.address != runEnd) {
            AddRun(runStart, runEnd);
            runStart = record.address;
        }
        runEnd = static_cast<std::uint32_t>(record.End());
        StoreSRecordBytes(buffer.get(), record);
    }
    if (refused)
        return false;
    AddRun(runStart, runEnd);
    return true;
}
