#include "images/srecord_tally.h"

#include <algorithm>

std::string SRecordTally::Add(const SRecord& record)
{
    switch (record.kind) {
    case SRecord::Kind::Data:
        highestEnd = std::max(highestEnd, record.End());
        ++dataRecords;
        counted = false;
        break;
    case SRecord::Kind::Count:
        // A count that disagrees means records were lost or added on the way.
        if (record.address != dataRecords)
            return "has a record count of " + std::to_string(record.address) + ", but " +
                   std::to_string(dataRecords) + " data records come before it";
        counted = true;
        break;
    case SRecord::Kind::Termination:
        terminated = true;
        break;
    case SRecord::Kind::Ignored:
        break;
    }
    return {};
}
