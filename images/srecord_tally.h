#pragma once
// What the records of an S-record file tell about the file as a whole: how
// far its data reaches, and whether it is known to be complete. A file is
// complete at its termination record (S7, S8, S9); a file written without
// one is complete when a record count (S5, S6) that matches the data records
// before it follows the last of them. Anything else may be truncated.

#include "images/srecord_record.h"

#include <cstdint>
#include <string>

class SRecordTally {
public:
    // Takes the file's next record. Returns an empty text, or why the file
    // is refused at this record.
    std::string Add(const SRecord& record);

    bool Terminated() const { return terminated; }
    bool Complete() const { return terminated || counted; }
    // The end of the highest data record: records need not come in address
    // order, and the image reaches all of them.
    std::uint64_t HighestEnd() const { return highestEnd; }

private:
    std::uint64_t highestEnd = 0;
    std::uint32_t dataRecords = 0;
    bool counted = false;  // a matching count follows the last data record
    bool terminated = false;
};
