#pragma once
// One line of a Motorola S-record file, split into the fields image reading uses
// and checked against its own byte count and checksum.

#include <cstdint>
#include <string>

struct SRecord {
    enum class Kind { Ignored, Data, Count, Termination };
    Kind kind = Kind::Ignored;
    std::uint32_t address = 0;       // in a count record (S5, S6): the count
    std::uint32_t byteCount = 0;     // data bytes only
    const char* dataText = nullptr;  // first data digit, inside the line
    std::uint64_t End() const { return std::uint64_t{address} + byteCount; }
};

// Splits one line into its record. Returns an empty text, or why the line is
// not a record that can be used safely. Lines that are no record, and S0 and
// S4 records, come back as Kind::Ignored without being checked.
std::string ParseSRecord(const char* line, SRecord& record);

// Writes the record's data bytes at their addresses in `block`.
void StoreSRecordBytes(std::uint8_t* block, const SRecord& record);
