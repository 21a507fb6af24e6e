#pragma once
// One connection to the line's PostgreSQL server, made when first needed and
// made again after the server went away, with each failure sorted into the
// pool's kinds: a station must tell a server it cannot reach from a refusal.

#include "station/pool_result.h"

#include <memory>
#include <string>
#include <vector>

struct pg_conn;

struct PgRows {
    PoolFailure failure = PoolFailure::None;
    std::string error;  // the server's or libpq's words
    std::vector<std::vector<std::string>> rows;  // text of each column; NULL as ""
    long affected = 0;  // rows an INSERT or UPDATE changed

    bool Ok() const { return failure == PoolFailure::None; }
};

class PgConnection {
public:
    // `conninfo`: a URI (postgresql://...) or key=value words, as libpq reads
    // them, with its environment (PGPASSWORD, PGSSLMODE, ...).
    explicit PgConnection(std::string conninfo);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // The database as the user may see it: no password.
    const std::string& Name() const { return name; }

    // Connects unless connected, and makes the tables on first use.
    PgRows Open();

    // One statement with its parameters as text, on the connection Open
    // made.
    PgRows Exec(const std::string& sql, const std::vector<std::string>& params = {});

private:
    PgRows Connect();

    const std::string conninfo;
    const std::string name;
    pg_conn* connection = nullptr;
};

// The database a connection string names, without its password:
// postgresql://USER@HOST:PORT/DBNAME.
std::string PgSafeName(const std::string& conninfo);

// True when the text names a database rather than a file.
bool IsPgConnectionString(const std::string& text);
