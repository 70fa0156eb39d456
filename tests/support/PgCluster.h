#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace lumora::testing
{

// A throwaway PostgreSQL cluster from the system's binaries: initdb in a fresh temporary folder, started with
// pg_ctl on a free 127.0.0.1 port, trusting local connections. The server refuses to run as root, so as root
// every tool runs as the postgres user. The destructor stops it and removes the folder; a watchdog process does
// the same when this process dies without getting there.
//
//     auto &cluster = PgCluster::Shared();
//     QVERIFY2(cluster.isRunning(), cluster.error().c_str());
//     const std::string uri = cluster.createSchema();
class PgCluster
{
public:
    PgCluster();
    ~PgCluster();
    PgCluster(const PgCluster &) = delete;
    PgCluster &operator=(const PgCluster &) = delete;

    // One cluster per process, started at first use, stopped when the process ends.
    static PgCluster &Shared();

    bool isRunning() const { return running_; }
    const std::string &error() const { return error_; }
    int port() const { return port_; }

    // The database "lumora", made at the start: "postgresql://postgres@127.0.0.1:PORT/lumora?...".
    std::string uri() const;
    // A new empty schema in it, the only one on the search path of the URI returned: as good as a fresh
    // database for the service, and made in a moment where a new database takes seconds. Throws when it cannot.
    std::string createSchema();
    void dropSchema(const std::string &uri);

    // Stops the server without a shutdown checkpoint, as a crash would (the next start recovers from the WAL).
    bool crash();
    bool start();

private:
    int runTool(const std::vector<std::string> &arguments);
    std::string adminUri() const;

    std::string dir_;
    std::string data_;
    std::string log_;
    std::string error_;
    int port_ = 0;
    bool running_ = false;
    int schemas_ = 0;
    int watchdogPipe_ = -1;
    pid_t watchdog_ = -1;
};

} // namespace lumora::testing
