#pragma once

#include "Storage.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct sqlite3;

namespace lumora::service
{

// SQLite in WAL mode with synchronous=FULL: a write has reached the disk when it returns. Request threads borrow
// connections from a small pool for reading, side by side; writes go to one writer thread that commits whatever
// is waiting in one transaction (group commit), so concurrent saves share an fsync instead of queueing for one.
class SqliteStorage : public Storage
{
public:
    // Opens (creating and migrating) the database; throws std::runtime_error when it cannot.
    explicit SqliteStorage(const std::string &path);
    ~SqliteStorage() override;

    static int SchemaVersion();

    std::optional<AccountSecret> findAccount(const std::string &name) override;
    CreateOutcome createAccount(const std::string &name, const std::string &passwordHash,
                                const std::string &categories) override;
    void setPasswordHash(std::int64_t account, const std::string &passwordHash) override;
    std::string categories(std::int64_t account) override;
    void setCategories(std::int64_t account, const std::string &categories) override;
    WriteOutcome saveRecord(std::int64_t account, const RecordFields &record) override;
    WriteOutcome lockRecord(std::int64_t account, const std::string &idGuid,
                            const std::optional<RecordFields> &fields) override;
    WriteOutcome deleteRecord(std::int64_t account, const std::string &idGuid) override;
    RecordPage newestRecords(std::int64_t account, std::optional<std::int64_t> minCentsExclusive, int offset,
                             int limit) override;
    RecordPage findRecords(std::int64_t account, const RecordFilter &filter, int offset, int limit) override;
    std::vector<CategoryTotal> categoryTotals(std::int64_t account, const RecordFilter &filter) override;
    MonthTotal recountMonth(std::int64_t account, int year, int month) override;
    std::vector<MonthTotal> monthTotals(std::int64_t account, int year, int month, int count) override;
    std::int64_t recordCount(std::int64_t account) override;

    class Connection;

private:
    class Lease;
    struct WriteJob;
    // Runs the job inside a write transaction on the writer thread; returns once it is committed, rethrows its
    // failure (or the commit's).
    void write(const std::function<void(Connection &)> &run);
    void writerLoop();
    void commitBatch(const std::vector<WriteJob *> &batch);
    std::unique_ptr<Connection> openConnection();
    Lease lease();
    void giveBack(std::unique_ptr<Connection> connection);
    void migrate(Connection &connection);

    std::string path_;
    std::mutex mutex_; // guards idle_
    std::vector<std::unique_ptr<Connection>> idle_;

    std::mutex queueMutex_; // guards queue_, stopping_ and WriteJob::done
    std::condition_variable queueChanged_;
    std::condition_variable jobsDone_;
    std::deque<WriteJob *> queue_;
    bool stopping_ = false;
    std::unique_ptr<Connection> writerConnection_;
    std::thread writer_;
};

} // namespace lumora::service
