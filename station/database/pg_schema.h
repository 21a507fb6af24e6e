#pragma once
// The line's tables, made on first use and changed later only by steps that
// the version table counts.

#include "station/database/pg_connection.h"

// Brings the database's tables to this program's version; several stations
// starting at once take turns.
PgRows EnsurePgSchema(PgConnection& connection);

// The version this program writes.
int PgSchemaVersion();
