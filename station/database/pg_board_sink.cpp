#include "station/database/pg_board_sink.h"

#include <cstdio>

PoolResult PgBoardSink::Failed(const PgRows& rows) const
{
    const char* what = rows.failure == PoolFailure::Unreachable ? " cannot be reached ("
                                                                : " cannot be written (";
    return PoolResult::Fail(rows.failure, "report " + Name() + what + rows.error + ")");
}

PoolResult PgBoardSink::Check()
{
    const PgRows rows = connection.Open();
    return rows.Ok() ? PoolResult{} : Failed(rows);
}

PoolResult PgBoardSink::Write(const BoardRecord& record)
{
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", record.seconds);
    PgRows rows = connection.Open();
    if (rows.Ok())
        rows = connection.Exec(
            "INSERT INTO boards (time, host, port, mac, image, image_sha256, image_length, status, "
            "status_text, result, seconds) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11) "
            "ON CONFLICT DO NOTHING",
            {record.time, record.host, record.port, record.mac, record.imagePath,
             record.imageSha256, std::to_string(record.imageLength),
             std::to_string(record.statusCode), record.statusText, record.result, seconds});
    return rows.Ok() ? PoolResult{} : Failed(rows);
}
