#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumora::service
{

// Every text is UTF-8. Every operation is keyed by an account, so one account never reaches another's rows.

struct AccountSecret {
    std::int64_t id = 0;
    std::string passwordHash; // libsodium crypto_pwhash_str
};

struct RecordFields {
    std::string idGuid;
    std::string name1;
    std::string in1;
    std::string money1; // as sent
    std::int64_t cents = 0;
    std::string type1;
    std::string createTime; // as sent
    std::string day;        // "yyyy-mm-dd", the record's date for ordering and filters
    std::string inputUser;
};

struct StoredRecord {
    std::int64_t id = 0;
    RecordFields fields;
    bool locked = false;
};

// Records of a period; every member that is set narrows the match.
struct RecordFilter {
    std::optional<std::string> fromDay;  // inclusive, "yyyy-mm-dd"
    std::optional<std::string> untilDay; // exclusive
    std::optional<std::int64_t> minCentsExclusive;
    std::optional<std::string> type1;
    std::optional<bool> income;
};

struct RecordPage {
    std::int64_t total = 0; // every match, not only this page
    std::vector<StoredRecord> records;
};

struct CategoryTotal {
    std::string type1;
    std::int64_t cents = 0;
};

struct MonthTotal {
    int year = 0;
    int month = 0;
    std::int64_t expenseCents = 0;
    std::int64_t incomeCents = 0;
};

enum class CreateOutcome { Created, NameTaken };
enum class WriteOutcome { Stored, Locked, NotFound };

// The service's storage engine. Implementations are safe to call from many request threads at once and report
// engine failures by throwing; each writing operation is all-or-nothing and durable when it returns.
class Storage
{
public:
    virtual ~Storage() = default;

    virtual std::optional<AccountSecret> findAccount(const std::string &name) = 0;
    virtual CreateOutcome createAccount(const std::string &name, const std::string &passwordHash,
                                        const std::string &categories) = 0;
    virtual void setPasswordHash(std::int64_t account, const std::string &passwordHash) = 0;
    virtual std::string categories(std::int64_t account) = 0;
    virtual void setCategories(std::int64_t account, const std::string &categories) = 0;

    // Inserts or updates by (account, idGuid); a locked record is left as it is.
    virtual WriteOutcome saveRecord(std::int64_t account, const RecordFields &record) = 0;
    // Locks the record, first saving fields when given (inserting it when new). Locking a locked record is Stored.
    virtual WriteOutcome lockRecord(std::int64_t account, const std::string &idGuid,
                                    const std::optional<RecordFields> &fields) = 0;
    virtual WriteOutcome deleteRecord(std::int64_t account, const std::string &idGuid) = 0;

    // Newest first by date, then by entry order.
    virtual RecordPage newestRecords(std::int64_t account, std::optional<std::int64_t> minCentsExclusive, int offset,
                                     int limit) = 0;
    // True when newestRecordsWhileHash reads the page and confirms the password hash in one step, so a caller
    // that remembers a verified password can skip reading the hash first.
    virtual bool confirmsHashWithPage() const { return false; }
    // newestRecords, read in the same view of the database as a check that the account's stored password hash
    // is still passwordHash; nothing when it is not (changed by any process since, or the account is gone).
    virtual std::optional<RecordPage> newestRecordsWhileHash(std::int64_t, const std::string &,
                                                             std::optional<std::int64_t>, int, int)
    {
        return std::nullopt;
    }
    // Oldest first.
    virtual RecordPage findRecords(std::int64_t account, const RecordFilter &filter, int offset, int limit) = 0;
    // Largest total first.
    virtual std::vector<CategoryTotal> categoryTotals(std::int64_t account, const RecordFilter &filter) = 0;
    // Counts the month from the records and keeps the result; returns it.
    virtual MonthTotal recountMonth(std::int64_t account, int year, int month) = 0;
    // Totals of the months from (year, month) back, newest first, counted from the records.
    virtual std::vector<MonthTotal> monthTotals(std::int64_t account, int year, int month, int count) = 0;
    virtual std::int64_t recordCount(std::int64_t account) = 0;
};

} // namespace lumora::service
