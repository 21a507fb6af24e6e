#include "station/database/pg_connection.h"

#include "station/database/pg_schema.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <map>

namespace {

// A station blocked on a silent network stalls every board's messages: give
// up on a connection after this long unless the user says otherwise.
constexpr const char* kDefaultConnectTimeout = "5";

std::string Trimmed(const char* text)
{
    std::string message = text ? text : "";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    return message;
}

// SQLSTATE to the kind of failure: the class 08 is the connection's.
PoolFailure FailureOf(const char* state, bool connectionLost)
{
    const std::string code = state ? state : "";
    if (connectionLost || code.starts_with("08") || code.starts_with("57P"))
        return PoolFailure::Unreachable;
    if (code == "55P03" || code == "40P01")  // lock not available, deadlock
        return PoolFailure::Locked;
    if (code == "42501" || code == "25006" || code == "53100")  // privilege, read-only, disk full
        return PoolFailure::Unwritable;
    return PoolFailure::Unreadable;
}

}  // namespace

bool IsPgConnectionString(const std::string& text)
{
    return text.starts_with("postgresql://") || text.starts_with("postgres://");
}

std::string PgSafeName(const std::string& conninfo)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
    PQfreemem(error);
    if (!options)
        return "postgresql://(unreadable)";
    std::map<std::string, std::string> words;
    for (const PQconninfoOption* option = options; option->keyword; ++option) {
        if (option->val)
            words[option->keyword] = option->val;
    }
    PQconninfoFree(options);
    std::string name = "postgresql://";
    if (words.contains("user"))
        name += words["user"] + "@";
    name += words["host"];
    if (words.contains("port"))
        name += ":" + words["port"];
    return name + "/" + words["dbname"];
}

PgConnection::PgConnection(std::string conninfo)
    : conninfo(std::move(conninfo)), name(PgSafeName(this->conninfo))
{
}

PgConnection::~PgConnection()
{
    if (connection)
        PQfinish(connection);
}

PgRows PgConnection::Connect()
{
    PgRows result;
    if (connection && PQstatus(connection) == CONNECTION_OK)
        return result;
    if (connection)
        PQfinish(connection);
    const bool timeoutGiven = std::getenv("PGCONNECT_TIMEOUT") != nullptr;
    const char* keywords[] = {"connect_timeout", "dbname", nullptr};
    const char* values[] = {kDefaultConnectTimeout, conninfo.c_str(), nullptr};
    // The connection string's own words come after, and win.
    connection = PQconnectdbParams(timeoutGiven ? keywords + 1 : keywords,
                                   timeoutGiven ? values + 1 : values, 1);
    if (PQstatus(connection) == CONNECTION_OK) {
        // The server's notices ("already exists, skipping") are not the user's business.
        PQsetNoticeProcessor(connection, [](void*, const char*) {}, nullptr);
        return result;
    }
    result.failure = PoolFailure::Unreachable;
    result.error = Trimmed(PQerrorMessage(connection));
    PQfinish(connection);
    connection = nullptr;
    return result;
}

PgRows PgConnection::Open()
{
    const bool fresh = !connection || PQstatus(connection) != CONNECTION_OK;
    PgRows result = Connect();
    if (result.Ok() && fresh)
        result = EnsurePgSchema(*this);
    return result;
}

PgRows PgConnection::Exec(const std::string& sql, const std::vector<std::string>& params)
{
    // Never connects again by itself: a statement of a transaction whose
    // connection died must not run alone on a new one.
    PgRows result;
    if (!connection || PQstatus(connection) != CONNECTION_OK) {
        result.failure = PoolFailure::Unreachable;
        result.error = "the connection to the server was lost";
        return result;
    }
    std::vector<const char*> values;
    for (const std::string& param : params)
        values.push_back(param.c_str());
    // Without parameters a text may hold several statements (the schema's steps).
    PGresult* answer = values.empty()
                           ? PQexec(connection, sql.c_str())
                           : PQexecParams(connection, sql.c_str(), static_cast<int>(values.size()),
                                          nullptr, values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(answer);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const bool lost = PQstatus(connection) != CONNECTION_OK;
        result.failure = FailureOf(PQresultErrorField(answer, PG_DIAG_SQLSTATE), lost);
        result.error = Trimmed(answer ? PQresultErrorMessage(answer) : PQerrorMessage(connection));
        PQclear(answer);
        return result;
    }
    for (int row = 0; row < PQntuples(answer); ++row) {
        auto& columns = result.rows.emplace_back();
        for (int column = 0; column < PQnfields(answer); ++column)
            columns.emplace_back(PQgetvalue(answer, row, column));
    }
    const char* affected = PQcmdTuples(answer);
    result.affected = affected && *affected ? std::atol(affected) : 0;
    PQclear(answer);
    return result;
}
