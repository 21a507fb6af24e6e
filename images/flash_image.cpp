#include "images/flash_image.h"

#include "app/message_box.h"
#include "images/srecord_path.h"
#include "images/srecord_record.h"
#include "images/srecord_tally.h"
#include "images/srecord_text_check.h"
#include "images/text_line_reader.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <new>
#include <string_view>

namespace {

void ShowLineProblem(int line, std::string_view problem)
{
    ShowMessageBox("ERROR: Line " + std::to_string(line) + " of the S-record file " +
                   std::string(problem) + "!");
}

// The specified text first, then which file and why.
void ShowFileProblem(std::string_view message, const std::string& path, std::string_view reason)
{
    ShowMessageBox(std::string(message) + "\n" + path + ": " + std::string(reason));
}

void WarnOfSRecordText(const std::string& path)
{
    std::string extensions;
    for (std::string_view extension : kSRecordExtensions)
        extensions += (extensions.empty() ? "" : ", ") + std::string(extension);
    ShowMessageBox("WARNING: " + path +
                   " looks like an S-record file, but its name makes it a raw image: its text, not "
                   "the data of its records, would be programmed as the firmware.\nGive it an "
                   "S-record extension (" + extensions + ") to program the data of its records.");
}

}  // namespace

bool FlashImage::IsSRecordPath(const std::string& path) { return ::IsSRecordPath(path); }

void FlashImage::Empty()
{
    buffer.reset();
    data = nullptr;
    length = 0;
}

namespace {

// A pipe or a device named like an image would block the open or never end;
// it is refused as a file that cannot be opened. (A folder fails its size
// query as usual.)
bool IsSpecialFile(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
           !std::filesystem::is_directory(status);
}

}  // namespace

bool FlashImage::Load(const std::string& path)
{
    Empty();
    const bool srecord = IsSRecordPath(path);
    if (IsSpecialFile(path)) {
        ShowMessageBox(srecord ? "ERROR: Unable to get Flash File size 3!"
                               : "Unable to open Flash File!");
        return false;
    }
    return srecord ? LoadSRecords(path) : LoadRaw(path);
}

bool FlashImage::AllocateBlock()
{
    buffer.reset(new (std::nothrow) std::uint8_t[kBlockSize]);
    if (!buffer) {
        ShowMessageBox("ERROR!: Could not allocate memory  ");
        return false;
    }
    return true;
}

bool FlashImage::LoadRaw(const std::string& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        ShowMessageBox("Unable to open Flash File!");
        return false;
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        ShowMessageBox("ERROR: Unable to get Flash File size 2!");
        return false;
    }
    if (size == 0) {
        ShowMessageBox("ERROR: File has size 0 !");
        return false;
    }
    if (size > kBlockSize) {
        ShowMessageBox("ERROR: File is " + std::to_string(size) +
                       " bytes and does not fit the 131072-byte flash block!");
        return false;
    }
    if (!AllocateBlock())
        return false;
    length = static_cast<std::uint32_t>(size);
    const std::size_t got = std::fread(buffer.get(), 1, length, file.get());
    if (got < length && std::ferror(file.get())) {
        ShowMessageBox("ERROR!: Could not read from the file  ");
        return false;
    }
    if (got < length) {
        ShowMessageBox("ERROR!: File length mismatch  ");
        return false;
    }
    // Past the image the block reads as erased flash, not as leftover heap.
    std::fill(buffer.get() + length, buffer.get() + kBlockSize, 0xFF);
    if (LooksLikeSRecordText(buffer.get(), length))
        WarnOfSRecordText(path);
    data = buffer.get();
    return true;
}

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
