#pragma once

#include "server/Storage.h"

#include <memory>
#include <string>

namespace lumora::testing
{

// Where a test's service keeps its records: a SQLite file in a fresh temporary folder, or, when the environment
// has LUMORA_TEST_ENGINE=postgresql, a fresh schema in the process's throwaway cluster (PgCluster::Shared).
// The same cases run on both engines; CTest registers each such test once per engine. Removed when it goes.
class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    static bool OnPostgres();

    // Empty when it could not be made; error() says why.
    const std::string &argument() const { return argument_; } // what lumora-service takes as --db
    const std::string &error() const { return error_; }
    // A storage over it, as the service opens it; throws when it cannot.
    std::unique_ptr<service::Storage> open(size_t connections = 8) const;
    // Runs statements straight on the database, past the service; throws when they fail.
    void execute(const std::string &sql) const;

private:
    std::string dir_;
    std::string argument_;
    std::string error_;
};

} // namespace lumora::testing
