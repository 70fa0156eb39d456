#include "TestDatabase.h"

#include "PgCluster.h"

#include "server/OpenStorage.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace lumora::testing
{

bool TestDatabase::OnPostgres()
{
    const char *engine = std::getenv("LUMORA_TEST_ENGINE");
    return engine && std::string(engine) == "postgresql";
}

TestDatabase::TestDatabase()
{
    if (OnPostgres()) {
        PgCluster &cluster = PgCluster::Shared();
        if (!cluster.isRunning()) {
            error_ = cluster.error();
            return;
        }
        try {
            argument_ = cluster.createSchema();
        } catch (const std::exception &e) {
            error_ = e.what();
        }
        return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "lumora-db-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        error_ = "no temporary folder";
        return;
    }
    dir_ = pattern;
    argument_ = dir_ + "/ledger.sqlite";
}

TestDatabase::~TestDatabase()
{
    if (OnPostgres() && !argument_.empty()) {
        try {
            PgCluster::Shared().dropSchema(argument_);
        } catch (const std::exception &) {
            // The cluster goes with the process anyway.
        }
    }
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

std::unique_ptr<service::Storage> TestDatabase::open(size_t connections) const
{
    if (argument_.empty())
        throw std::runtime_error("no test database: " + error_);
    return service::OpenStorage(argument_, connections);
}

void TestDatabase::execute(const std::string &sql) const
{
    std::string failure;
    if (OnPostgres()) {
        PGconn *conn = PQconnectdb(argument_.c_str());
        PGresult *result = PQexec(conn, sql.c_str());
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            failure = PQerrorMessage(conn);
        PQclear(result);
        PQfinish(conn);
    } else {
        sqlite3 *db = nullptr;
        char *error = nullptr;
        if (sqlite3_open(argument_.c_str(), &db) != SQLITE_OK ||
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error))
            failure = error ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        sqlite3_close(db);
    }
    if (!failure.empty())
        throw std::runtime_error(sql + ": " + failure);
}

} // namespace lumora::testing
