#include "images/flash_image.h"

#include "app/message_box.h"
#include "images/image_problem.h"
#include "images/srecord_record.h"
#include "images/srecord_tally.h"
#include "images/text_line_reader.h"

#include <algorithm>
#include <cstdio>

bool FlashImage::LoadSRecords(const std::string& path)
{
    std::uint32_t size = 0;
    bool opened = false;
    if (!MeasureSRecords(path, size, opened)) {
        if (!opened)
            ShowMessageBox("ERROR: Unable to get Flash File size 3!");
        return false;
    }
    if (size == 0) {
        ShowMessageBox("ERROR: File has size 0 !");
        return false;
    }
    if (!AllocateBlock())
        return false;
    length = size;
    if (!ReadSRecords(path, opened)) {
        if (!opened)
            ShowMessageBox("ERROR!: Could not read from the file  ");
        return false;
    }
    data = buffer.get();
    return true;
}

bool FlashImage::NextRecord(TextLineReader& reader, SRecord& record, bool& refused)
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
        ShowMessageBox("ERROR!: Could not read from the file  ");
        refused = true;
        return false;
    case TextLineReader::Line::Read:
        problem = ParseSRecord(lineBuffer, record);
        break;
    }
    if (problem.empty())
        return true;
    ShowLineProblem(reader.LineNumber(), problem);
    refused = true;
    return false;
}

bool FlashImage::MeasureSRecords(const std::string& path, std::uint32_t& size, bool& opened)
{
    size = 0;
    TextLineReader reader(path);
    opened = reader.IsOpen();
    if (!opened) {
        std::perror("Error opening file");
        return false;
    }
    SRecordTally tally;
    SRecord record;
    bool refused = false;
    while (!tally.Terminated() && NextRecord(reader, record, refused)) {
        const std::string problem = tally.Add(record);
        if (!problem.empty()) {
            ShowLineProblem(reader.LineNumber(), problem);
            return false;
        }
    }
    if (refused)
        return false;
    if (!tally.Complete()) {
        ShowFileProblem("ERROR: File has size 0 !", path,
                        "the termination record (S7, S8 or S9) is missing and no record count (S5 "
                        "or S6) follows the last data record; the file may be truncated");
        return false;
    }
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

bool FlashImage::ReadSRecords(const std::string& path, bool& opened)
{
    intervals.clear();
    std::fill(buffer.get(), buffer.get() + kBlockSize, 0xFF);
    TextLineReader reader(path);
    opened = reader.IsOpen();
    if (!opened)
        return false;
    std::uint32_t runStart = 0;
    std::uint32_t runEnd = 0;
    SRecord record;
    bool refused = false;
    while (NextRecord(reader, record, refused) && record.kind != SRecord::Kind::Termination) {
        if (record.kind != SRecord::Kind::Data)
            continue;
        if (record.End() > kBlockSize) {
            char address[16];
            std::snprintf(address, sizeof address, "0x%X",
                          std::max<std::uint32_t>(record.address, kBlockSize));
            ShowLineProblem(reader.LineNumber(),
                            std::string("puts data at address ") + address +
                                ", outside the 131072-byte flash block");
            return false;
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
