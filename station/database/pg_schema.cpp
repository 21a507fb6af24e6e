#include "station/database/pg_schema.h"

#include <array>

namespace {

// Stations starting together serialise their first look at the tables on
// this advisory lock, released with the transaction.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(7413021)";

// Step N brings the tables from version N to N + 1; a later change is a new
// step at the end, never an edit of one already run somewhere.
constexpr std::array<const char*, 1> kSteps{
    R"(CREATE TABLE mac_range (
         id integer PRIMARY KEY CHECK (id = 1),
         first_address numeric(20, 0) NOT NULL,
         last_address numeric(20, 0) NOT NULL,
         next_address numeric(20, 0) NOT NULL,
         CHECK (first_address <= last_address AND next_address >= first_address));
       CREATE TABLE mac_addresses (
         mac char(16) PRIMARY KEY,
         state text NOT NULL CHECK (state IN ('allocated', 'programmed', 'failed')),
         port text NOT NULL,
         host text NOT NULL,
         allocated_at timestamptz NOT NULL,
         ended_at timestamptz,
         image_sha256 text NOT NULL);
       CREATE TABLE boards (
         id bigserial PRIMARY KEY,
         time timestamptz NOT NULL,
         host text NOT NULL,
         port text NOT NULL,
         mac text NOT NULL,
         image text NOT NULL,
         image_sha256 text NOT NULL,
         image_length bigint NOT NULL,
         status integer NOT NULL,
         status_text text NOT NULL,
         result text NOT NULL,
         seconds double precision NOT NULL,
         UNIQUE (time, host, port, mac));)",
};

PgRows RunSteps(PgConnection& connection)
{
    PgRows result = connection.Exec(kSchemaLock);
    if (result.Ok())
        result = connection.Exec("CREATE TABLE IF NOT EXISTS schema_version (version integer NOT NULL)");
    if (!result.Ok())
        return result;
    result = connection.Exec("SELECT coalesce(max(version), 0) FROM schema_version");
    if (!result.Ok())
        return result;
    for (int version = std::stoi(result.rows.at(0).at(0)); version < PgSchemaVersion(); ++version) {
        result = connection.Exec(kSteps[static_cast<std::size_t>(version)]);
        if (result.Ok())
            result = connection.Exec("INSERT INTO schema_version VALUES ($1)",
                                     {std::to_string(version + 1)});
        if (!result.Ok())
            return result;
    }
    return result;
}

}  // namespace

int PgSchemaVersion() { return static_cast<int>(kSteps.size()); }

PgRows EnsurePgSchema(PgConnection& connection)
{
    PgRows result = connection.Exec("BEGIN");
    if (!result.Ok())
        return result;
    result = RunSteps(connection);
    const PgRows end = connection.Exec(result.Ok() ? "COMMIT" : "ROLLBACK");
    return result.Ok() ? end : result;
}
