#pragma once

#include "Storage.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace lumora::service
{

// PostgreSQL through libpq, shared by any number of service processes: every answer comes from the database,
// nothing is kept in memory between requests. Each write is one statement committed on its own (the server's
// synchronous commit makes it durable before it returns); upserts go through INSERT ... ON CONFLICT, so two
// processes saving one record at once leave one row. Request threads borrow connections from a bounded pool; a
// connection found broken is opened again, and while the database is away every call throws.
class PgStorage : public Storage
{
public:
    // uri is any libpq connection string or URI. Opens one connection and creates or migrates the schema;
    // throws std::runtime_error when it cannot.
    PgStorage(const std::string &uri, size_t poolSize);
    ~PgStorage() override;

    static int SchemaVersion();
    // True when the database argument names a PostgreSQL database rather than a file.
    static bool IsConnectionUri(const std::string &db);

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
    bool confirmsHashWithPage() const override { return true; }
    std::optional<RecordPage> newestRecordsWhileHash(std::int64_t account, const std::string &passwordHash,
                                                     std::optional<std::int64_t> minCentsExclusive, int offset,
                                                     int limit) override;
    RecordPage findRecords(std::int64_t account, const RecordFilter &filter, int offset, int limit) override;
    std::vector<CategoryTotal> categoryTotals(std::int64_t account, const RecordFilter &filter) override;
    MonthTotal recountMonth(std::int64_t account, int year, int month) override;
    std::vector<MonthTotal> monthTotals(std::int64_t account, int year, int month, int count) override;
    std::int64_t recordCount(std::int64_t account) override;

    class Connection;

private:
    class Lease;
    Lease lease();
    void giveBack(std::unique_ptr<Connection> connection);
    void migrate(Connection &connection);
    std::optional<RecordPage> newestPage(std::int64_t account, const std::string *passwordHash,
                                         std::optional<std::int64_t> minCentsExclusive, int offset, int limit);

    std::string uri_;
    size_t poolSize_;
    std::mutex mutex_; // guards idle_ and open_
    std::condition_variable returned_;
    std::vector<std::unique_ptr<Connection>> idle_;
    size_t open_ = 0; // idle and lent out
};

} // namespace lumora::service
