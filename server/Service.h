#pragma once

#include "Accounts.h"
#include "RegistrationPage.h"
#include "Routes.h"
#include "Storage.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace httplib
{
class Server;
}

namespace lumora::service
{

// The HTTP side: serves the scripts under /ms/kessum/ on one address. Runs in-process for tests.
class Service
{
public:
    static constexpr size_t kMaxBodyBytes = 1024 * 1024;
    static constexpr const char *kBasePath = "/ms/kessum/";

    using LogSink = std::function<void(const std::string &line)>;

    // threads 0 picks a pool size from the machine; the pool has room beyond it for the requests that wait for a
    // password check. The log sink gets one line per request (stderr when empty), and one per run of requests
    // refused without a check.
    Service(Storage &storage, ServiceOptions options = {}, size_t threads = 0, LogSink log = {});
    ~Service();
    Service(const Service &) = delete;
    Service &operator=(const Service &) = delete;

    Accounts &accounts() { return accounts_; }

    // Binds host:port (port 0 picks a free one); returns the port, or -1.
    int bind(const std::string &host, int port);
    // Serves until stop(); false when it could not serve.
    bool run();
    // From any thread, also before run() got going.
    void stop();

private:
    void install();
    void log(const std::string &line);

    Storage &storage_;
    LogSink log_; // before accounts_: its hashing threads report until they stop
    Accounts accounts_;
    Routes routes_;
    RegistrationPage registration_;
    std::unique_ptr<httplib::Server> server_;
    std::atomic<bool> runCalled_{false};
    std::atomic<bool> runEnded_{false};
    std::atomic<bool> stopRequested_{false};
};

} // namespace lumora::service
