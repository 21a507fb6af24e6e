#pragma once
// Where the station keeps the record of every board: a JSON Lines file on
// this machine, or the line's database.

#include "station/board_report.h"
#include "station/pool_result.h"

#include <memory>
#include <string>

class IBoardSink {
public:
    virtual ~IBoardSink() = default;
    virtual std::string Name() const = 0;
    // Before anything starts: fails when no record could be kept.
    virtual PoolResult Check() = 0;
    virtual PoolResult Write(const BoardRecord& record) = 0;
};

// The JSON Lines report (station/board_report.h).
class FileBoardSink final : public IBoardSink {
public:
    explicit FileBoardSink(std::string path) : path(std::move(path)) {}
    std::string Name() const override { return path; }
    PoolResult Check() override { return Append(""); }
    PoolResult Write(const BoardRecord& record) override { return Append(ReportLine(record)); }

private:
    PoolResult Append(const std::string& line)
    {
        std::string error;
        if (!AppendToReport(path, line, error))
            return PoolResult::Fail(PoolFailure::Unwritable, error);
        return {};
    }

    std::string path;
};
