#pragma once
// The tests' own PostgreSQL servers (scripts/pg_test_server): the shared one
// that the CTest fixture PgServer.Start starts and PgServer.Stop removes, and
// private ones a test starts and stops itself, all below one root that the
// stop fixture cleans up even after a killed run.

#include "station/database/pg_connection.h"

#include <string>
#include <vector>

// The connection URI of database `name` on cluster `cluster` of the root.
std::string PgUri(const std::string& cluster, const std::string& name,
                  const std::string& user = "quillmark");

// A fresh database of its own on the shared server, dropped at the end.
class PgTestDatabase {
public:
    PgTestDatabase() : PgTestDatabase("shared") {}
    explicit PgTestDatabase(std::string cluster);
    ~PgTestDatabase();
    PgTestDatabase(const PgTestDatabase&) = delete;
    PgTestDatabase& operator=(const PgTestDatabase&) = delete;

    const std::string& Uri() const { return uri; }
    // Runs SQL on the database; fails the test on an error.
    std::vector<std::vector<std::string>> Query(const std::string& sql);
    // The first column of the first row.
    std::string Value(const std::string& sql);

private:
    std::string cluster;
    std::string name;
    std::string uri;
};

// A server of the test's own, for stopping and starting in the middle.
class PgPrivateServer {
public:
    explicit PgPrivateServer(std::string cluster);
    ~PgPrivateServer();
    void Start();
    void Stop();
    const std::string& Cluster() const { return cluster; }

private:
    std::string cluster;
};
