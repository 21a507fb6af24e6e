#include "support/pg_server.h"

#include "support/run_command.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <unistd.h>

namespace {

void RunServerScript(const std::vector<std::string>& args)
{
    std::vector<std::string> argv{PG_TEST_SERVER};
    argv.insert(argv.end(), args.begin(), args.end());
    const CommandResult result = RunCommand(CommandLine(argv));
    ASSERT_EQ(result.exitCode, 0) << result.output;
}

std::string FreshName()
{
    static std::atomic<int> counter{0};
    return "t" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
}

}  // namespace

std::string PgUri(const std::string& cluster, const std::string& name, const std::string& user)
{
    return "postgresql:///" + name + "?host=" + std::string(PG_TEST_ROOT) + "/" + cluster +
           "/socket&user=" + user;
}

PgTestDatabase::PgTestDatabase(std::string cluster)
    : cluster(std::move(cluster)), name(FreshName()), uri(PgUri(this->cluster, name))
{
    PgConnection admin(PgUri(this->cluster, "postgres"));
    PgRows rows = admin.Open();
    if (rows.Ok())
        rows = admin.Exec("CREATE DATABASE " + name);
    EXPECT_TRUE(rows.Ok()) << rows.error;
}

PgTestDatabase::~PgTestDatabase()
{
    PgConnection admin(PgUri(cluster, "postgres"));
    if (admin.Open().Ok())
        admin.Exec("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
}

std::vector<std::vector<std::string>> PgTestDatabase::Query(const std::string& sql)
{
    PgConnection connection(uri);
    PgRows rows = connection.Open();
    if (rows.Ok())
        rows = connection.Exec(sql);
    EXPECT_TRUE(rows.Ok()) << sql << ": " << rows.error;
    return rows.rows;
}

std::string PgTestDatabase::Value(const std::string& sql)
{
    const auto rows = Query(sql);
    return rows.empty() || rows[0].empty() ? "" : rows[0][0];
}

PgPrivateServer::PgPrivateServer(std::string name)
    : cluster("p" + std::to_string(::getpid()) + "_" + name)
{
    Start();
}

PgPrivateServer::~PgPrivateServer()
{
    Stop();
    std::error_code ignored;
    std::filesystem::remove_all(std::string(PG_TEST_ROOT) + "/" + cluster, ignored);
}

void PgPrivateServer::Start() { RunServerScript({"start", PG_TEST_ROOT, cluster}); }

void PgPrivateServer::Stop() { RunServerScript({"stop", PG_TEST_ROOT, cluster}); }
