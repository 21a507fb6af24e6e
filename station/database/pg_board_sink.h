#pragma once
// The record of every board of the line, one row each in the database.

#include "station/board_sink.h"
#include "station/database/pg_connection.h"

class PgBoardSink final : public IBoardSink {
public:
    explicit PgBoardSink(const std::string& conninfo) : connection(conninfo) {}
    std::string Name() const override { return connection.Name(); }
    PoolResult Check() override;
    // A row written twice (a journal replayed after an answer that was lost)
    // stays one row.
    PoolResult Write(const BoardRecord& record) override;

private:
    PoolResult Failed(const PgRows& rows) const;

    PgConnection connection;
};
