#pragma once
// A firmware image read into the 128 KiB block that the serial job programs
// from: a raw binary, or a Motorola S-record file when its name says so
// (images/srecord_path.h).

#include "flash/image_block.h"
#include "images/image_problem.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct SRecord;
class TextLineReader;

// A half-open run of addresses covered by an S-record file: [start, end).
struct AddressInterval {
    std::uint32_t start;
    std::uint32_t end;
    bool operator==(const AddressInterval&) const = default;
};

class FlashImage {
public:
    static constexpr std::uint32_t kBlockSize = 0x20000;  // 131072 bytes
    static constexpr std::size_t kLineBufferSize = 1024;  // 1023 characters and the terminator

    // Reads the image at `path`. Returns what went wrong, for the caller to
    // show; on success the image is in `buffer`, `data` equals `buffer` and
    // `length` is set.
    ImageLoad Load(const std::string& path);

    // Returns the block to the heap; buffer, data and length become null/0.
    void Empty();

    // The route `Load` takes: the S-record route for the names in
    // images/srecord_path.h, the raw route for every other name.
    static bool IsSRecordPath(const std::string& path);

    // The image's bytes; empty before a successful load.
    std::span<const std::uint8_t> Bytes() const { return {data, data ? length : 0}; }
    // Hands the block over to a job's request; the image is empty afterwards.
    ImageBlock TakeBlock();

    std::vector<AddressInterval> intervals;  // runs of the last S-record file, in file order
    std::unique_ptr<std::uint8_t[]> buffer;  // kBlockSize bytes once a load has allocated it
    const std::uint8_t* data = nullptr;      // equals buffer.get() after a successful load
    std::uint32_t length = 0;                // image length in bytes

private:
    // Records why the load failed; returns false for the caller to pass on.
    bool Refuse(ImageProblem problem);
    bool LoadRaw(const std::string& path);
    bool ReadRaw(std::FILE* file, const std::string& path);
    bool LoadSRecords(const std::string& path);
    bool AllocateBlock(const std::string& path);
    // The next record of the file: false at its end, or with `refused` set
    // once the file is refused.
    bool NextRecord(TextLineReader& reader, const std::string& path, SRecord& record,
                    bool& refused);
    // Sizing pass: the highest end address of the data records before the
    // first termination record (or before the end of a file that a matching
    // record count ends). False when the file is refused, and when that
    // address is 0.
    bool MeasureSRecords(const std::string& path, std::uint32_t& size);
    // Data pass: fills the block and the address runs.
    bool ReadSRecords(const std::string& path);
    void AddRun(std::uint32_t start, std::uint32_t end);

    ImageLoad outcome;  // of the load under way
    char lineBuffer[kLineBufferSize] = {};
};
