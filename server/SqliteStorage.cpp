#include "SqliteStorage.h"

#include "MonthSpan.h"

#include <sqlite3.h>

#include <stdexcept>
#include <thread>
#include <unordered_map>

namespace lumora::service
{

namespace
{

// Each entry moves the schema one version up; entries are never edited once released, only appended.
const char *const kMigrations[] = {
    R"sql(
CREATE TABLE accounts (
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE,
    pass_hash TEXT NOT NULL,
    categories TEXT NOT NULL,
    record_count INTEGER NOT NULL DEFAULT 0,
    created_at TEXT NOT NULL DEFAULT (datetime('now'))
);
CREATE TABLE records (
    id INTEGER PRIMARY KEY,
    account_id INTEGER NOT NULL REFERENCES accounts(id),
    id_guid TEXT NOT NULL,
    name1 TEXT NOT NULL,
    in1 TEXT NOT NULL,
    income INTEGER NOT NULL,
    money1 TEXT NOT NULL,
    cents INTEGER NOT NULL,
    type1 TEXT NOT NULL,
    create_time TEXT NOT NULL,
    day TEXT NOT NULL,
    input_user TEXT NOT NULL,
    is_lock INTEGER NOT NULL DEFAULT 0,
    updated_at TEXT NOT NULL DEFAULT (datetime('now')),
    UNIQUE (account_id, id_guid)
);
-- The newest-records page walks this index backwards.
CREATE INDEX records_by_day ON records(account_id, day, id);
CREATE TABLE month_totals (
    account_id INTEGER NOT NULL REFERENCES accounts(id),
    year INTEGER NOT NULL,
    month INTEGER NOT NULL,
    expense_cents INTEGER NOT NULL,
    income_cents INTEGER NOT NULL,
    counted_at TEXT NOT NULL DEFAULT (datetime('now')),
    PRIMARY KEY (account_id, year, month)
);
-- A kept count makes the page information of the newest-records page free.
CREATE TRIGGER records_counted_in AFTER INSERT ON records BEGIN
    UPDATE accounts SET record_count = record_count + 1 WHERE id = NEW.account_id;
END;
CREATE TRIGGER records_counted_out AFTER DELETE ON records BEGIN
    UPDATE accounts SET record_count = record_count - 1 WHERE id = OLD.account_id;
END;
)sql",
};

[[noreturn]] void Fail(sqlite3 *db, const char *what)
{
    throw std::runtime_error(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

const char *const kRecordColumns =
    "id, id_guid, name1, in1, money1, cents, type1, create_time, day, input_user, is_lock";

} // namespace

class SqliteStorage::Connection
{
public:
    explicit Connection(const std::string &path)
    {
        const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw std::runtime_error("cannot open database: " + message);
        }
        sqlite3_busy_timeout(db_, 10000);
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=FULL");
        exec("PRAGMA foreign_keys=ON");
        // Reads map the file instead of copying pages in; the month and period queries touch pages all over
        // the table, and every pooled connection then shares the one page cache of the system.
        exec("PRAGMA mmap_size=1073741824");
        exec("PRAGMA cache_size=-16000");
    }
    ~Connection()
    {
        for (auto &[sql, statement] : statements_)
            sqlite3_finalize(statement);
        sqlite3_close(db_);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *db() const { return db_; }

    void exec(const char *sql)
    {
        char *error = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            std::string message = error ? error : "unknown error";
            sqlite3_free(error);
            throw std::runtime_error(std::string("sqlite: ") + message);
        }
    }

    // Prepared once per connection and kept.
    sqlite3_stmt *statement(const std::string &sql)
    {
        auto it = statements_.find(sql);
        if (it != statements_.end())
            return it->second;
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK)
            Fail(db_, "prepare");
        statements_.emplace(sql, statement);
        return statement;
    }

private:
    sqlite3 *db_ = nullptr;
    std::unordered_map<std::string, sqlite3_stmt *> statements_;
};

namespace
{

// One use of a cached statement: binds by position from 1, steps, and resets when it goes.
class Query
{
public:
    Query(SqliteStorage::Connection &connection, const std::string &sql)
        : db_(connection.db()), statement_(connection.statement(sql))
    {
    }
    ~Query()
    {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    Query &bind(std::int64_t value)
    {
        check(sqlite3_bind_int64(statement_, ++index_, value));
        return *this;
    }
    Query &bind(const std::string &value)
    {
        check(sqlite3_bind_text(statement_, ++index_, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT));
        return *this;
    }
    template <typename T> Query &bind(const std::optional<T> &value)
    {
        if (value)
            return bind(*value);
        check(sqlite3_bind_null(statement_, ++index_));
        return *this;
    }
    Query &bind(const std::optional<bool> &value)
    {
        if (value)
            return bind(static_cast<std::int64_t>(*value ? 1 : 0));
        check(sqlite3_bind_null(statement_, ++index_));
        return *this;
    }

    // True while there is a row.
    bool step()
    {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        Fail(db_, "step");
    }
    void run()
    {
        while (step()) {
        }
    }

    std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string text(int column) const
    {
        const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(statement_, column));
        return data ? std::string(data, static_cast<size_t>(sqlite3_column_bytes(statement_, column))) : std::string();
    }
    bool isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

    StoredRecord record() const
    {
        StoredRecord r;
        r.id = integer(0);
        r.fields.idGuid = text(1);
        r.fields.name1 = text(2);
        r.fields.in1 = text(3);
        r.fields.money1 = text(4);
        r.fields.cents = integer(5);
        r.fields.type1 = text(6);
        r.fields.createTime = text(7);
        r.fields.day = text(8);
        r.fields.inputUser = text(9);
        r.locked = integer(10) != 0;
        return r;
    }

private:
    void check(int rc)
    {
        if (rc != SQLITE_OK)
            Fail(db_, "bind");
    }

    sqlite3 *db_;
    sqlite3_stmt *statement_;
    int index_ = 0;
};

// A write takes the lock up front (BEGIN IMMEDIATE), so two writers never deadlock upgrading a read; a read
// transaction only makes its statements see one state of the file. Rolled back unless committed.
class Transaction
{
public:
    enum class Lock { Write, Read };

    explicit Transaction(SqliteStorage::Connection &connection, Lock lock = Lock::Write) : connection_(connection)
    {
        Query(connection_, lock == Lock::Write ? "BEGIN IMMEDIATE" : "BEGIN").run();
    }
    ~Transaction()
    {
        if (!done_)
            sqlite3_exec(connection_.db(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit()
    {
        Query(connection_, "COMMIT").run();
        done_ = true;
    }

private:
    SqliteStorage::Connection &connection_;
    bool done_ = false;
};

// The rows of a page query, in its order.
void TakeRows(Query &rows, int limit, RecordPage &page)
{
    page.records.reserve(static_cast<size_t>(limit > 0 && limit < 1000 ? limit : 1000));
    while (rows.step())
        page.records.push_back(rows.record());
}

} // namespace

class SqliteStorage::Lease
{
public:
    Lease(SqliteStorage &owner, std::unique_ptr<Connection> connection)
        : owner_(owner), connection_(std::move(connection))
    {
    }
    ~Lease()
    {
        if (connection_)
            owner_.giveBack(std::move(connection_));
    }
    Lease(Lease &&) = default;
    Connection &operator*() const { return *connection_; }

private:
    SqliteStorage &owner_;
    std::unique_ptr<Connection> connection_;
};

SqliteStorage::SqliteStorage(const std::string &path) : path_(path)
{
    writerConnection_ = openConnection();
    migrate(*writerConnection_);
    writer_ = std::thread([this] { writerLoop(); });
}

SqliteStorage::~SqliteStorage()
{
    {
        std::lock_guard lock(queueMutex_);
        stopping_ = true;
    }
    queueChanged_.notify_all();
    writer_.join();
}

struct SqliteStorage::WriteJob {
    const std::function<void(Connection &)> &run;
    std::exception_ptr error;
    bool done = false;
};

void SqliteStorage::write(const std::function<void(Connection &)> &run)
{
    WriteJob job{run};
    std::unique_lock lock(queueMutex_);
    queue_.push_back(&job);
    queueChanged_.notify_one();
    jobsDone_.wait(lock, [&] { return job.done; });
    if (job.error)
        std::rethrow_exception(job.error);
}

void SqliteStorage::writerLoop()
{
    std::vector<WriteJob *> batch;
    for (;;) {
        {
            std::unique_lock lock(queueMutex_);
            queueChanged_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            batch.assign(queue_.begin(), queue_.end());
            queue_.clear();
        }
        commitBatch(batch);
        {
            std::lock_guard lock(queueMutex_);
            for (WriteJob *job : batch)
                job->done = true;
        }
        jobsDone_.notify_all();
        batch.clear();
    }
}

void SqliteStorage::commitBatch(const std::vector<WriteJob *> &batch)
{
    // Every write waiting at the moment goes into one transaction, so one fsync makes all of them durable.
    // A savepoint per job keeps one failing job from taking the others with it.
    Connection &connection = *writerConnection_;
    try {
        Query(connection, "BEGIN IMMEDIATE").run();
        for (WriteJob *job : batch) {
            Query(connection, "SAVEPOINT job").run();
            try {
                job->run(connection);
            } catch (...) {
                job->error = std::current_exception();
                Query(connection, "ROLLBACK TO job").run();
            }
            Query(connection, "RELEASE job").run();
        }
        Query(connection, "COMMIT").run();
    } catch (...) {
        sqlite3_exec(connection.db(), "ROLLBACK", nullptr, nullptr, nullptr);
        const auto error = std::current_exception();
        for (WriteJob *job : batch) {
            if (!job->error)
                job->error = error;
        }
    }
}

int SqliteStorage::SchemaVersion()
{
    return static_cast<int>(std::size(kMigrations));
}

std::unique_ptr<SqliteStorage::Connection> SqliteStorage::openConnection()
{
    return std::make_unique<Connection>(path_);
}

SqliteStorage::Lease SqliteStorage::lease()
{
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            auto connection = std::move(idle_.back());
            idle_.pop_back();
            return Lease(*this, std::move(connection));
        }
    }
    return Lease(*this, openConnection());
}

void SqliteStorage::giveBack(std::unique_ptr<Connection> connection)
{
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(connection));
}

void SqliteStorage::migrate(Connection &connection)
{
    connection.exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
    Transaction transaction(connection);
    int version = 0;
    bool hasRow = false;
    {
        Query query(connection, "SELECT version FROM schema_version");
        if (query.step()) {
            version = static_cast<int>(query.integer(0));
            hasRow = true;
        }
    }
    if (version > SchemaVersion())
        throw std::runtime_error("the database was made by a newer lumora-service");
    for (int next = version; next < SchemaVersion(); ++next)
        connection.exec(kMigrations[next]);
    if (!hasRow)
        Query(connection, "INSERT INTO schema_version (version) VALUES (?)").bind(SchemaVersion()).run();
    else
        Query(connection, "UPDATE schema_version SET version = ?").bind(SchemaVersion()).run();
    transaction.commit();
}

std::optional<AccountSecret> SqliteStorage::findAccount(const std::string &name)
{
    auto connection = lease();
    Query query(*connection, "SELECT id, pass_hash FROM accounts WHERE name = ?");
    query.bind(name);
    if (!query.step())
        return std::nullopt;
    return AccountSecret{query.integer(0), query.text(1)};
}

CreateOutcome SqliteStorage::createAccount(const std::string &name, const std::string &passwordHash,
                                           const std::string &categories)
{
    CreateOutcome outcome = CreateOutcome::Created;
    write([&](Connection &connection) {
        {
            Query query(connection, "SELECT 1 FROM accounts WHERE name = ?");
            query.bind(name);
            if (query.step()) {
                outcome = CreateOutcome::NameTaken;
                return;
            }
        }
        Query(connection, "INSERT INTO accounts (name, pass_hash, categories) VALUES (?, ?, ?)")
            .bind(name)
            .bind(passwordHash)
            .bind(categories)
            .run();
    });
    return outcome;
}

void SqliteStorage::setPasswordHash(std::int64_t account, const std::string &passwordHash)
{
    write([&](Connection &connection) {
        Query(connection, "UPDATE accounts SET pass_hash = ? WHERE id = ?").bind(passwordHash).bind(account).run();
    });
}

std::string SqliteStorage::categories(std::int64_t account)
{
    auto connection = lease();
    Query query(*connection, "SELECT categories FROM accounts WHERE id = ?");
    query.bind(account);
    return query.step() ? query.text(0) : std::string();
}

void SqliteStorage::setCategories(std::int64_t account, const std::string &categories)
{
    write([&](Connection &connection) {
        Query(connection, "UPDATE accounts SET categories = ? WHERE id = ?").bind(categories).bind(account).run();
    });
}

namespace
{

// The id and lock state of a record, if it exists.
std::optional<std::pair<std::int64_t, bool>> FindRecord(SqliteStorage::Connection &connection, std::int64_t account,
                                                        const std::string &idGuid)
{
    Query query(connection, "SELECT id, is_lock FROM records WHERE account_id = ? AND id_guid = ?");
    query.bind(account).bind(idGuid);
    if (!query.step())
        return std::nullopt;
    return std::make_pair(query.integer(0), query.integer(1) != 0);
}

// The record's own columns, in the order both statements below list them.
Query &BindRecordFields(Query &query, const RecordFields &r, bool lock)
{
    return query.bind(r.name1)
        .bind(r.in1)
        .bind(static_cast<std::int64_t>(r.in1 == "1" ? 1 : 0))
        .bind(r.money1)
        .bind(r.cents)
        .bind(r.type1)
        .bind(r.createTime)
        .bind(r.day)
        .bind(r.inputUser)
        .bind(static_cast<std::int64_t>(lock ? 1 : 0));
}

void WriteRecord(SqliteStorage::Connection &connection, std::int64_t account, const RecordFields &r,
                 std::optional<std::int64_t> existingId, bool lock)
{
    if (existingId) {
        Query update(connection, "UPDATE records SET name1 = ?, in1 = ?, income = ?, money1 = ?, cents = ?, "
                                 "type1 = ?, create_time = ?, day = ?, input_user = ?, is_lock = ?, "
                                 "updated_at = datetime('now') WHERE id = ? AND account_id = ?");
        BindRecordFields(update, r, lock).bind(*existingId).bind(account).run();
        return;
    }
    Query insert(connection, "INSERT INTO records (account_id, id_guid, name1, in1, income, money1, cents, type1, "
                             "create_time, day, input_user, is_lock) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    BindRecordFields(insert.bind(account).bind(r.idGuid), r, lock).run();
}

} // namespace

WriteOutcome SqliteStorage::saveRecord(std::int64_t account, const RecordFields &record)
{
    WriteOutcome outcome = WriteOutcome::Stored;
    write([&](Connection &connection) {
        const auto existing = FindRecord(connection, account, record.idGuid);
        if (existing && existing->second) {
            outcome = WriteOutcome::Locked;
            return;
        }
        WriteRecord(connection, account, record, existing ? std::optional(existing->first) : std::nullopt, false);
    });
    return outcome;
}

WriteOutcome SqliteStorage::lockRecord(std::int64_t account, const std::string &idGuid,
                                       const std::optional<RecordFields> &fields)
{
    WriteOutcome outcome = WriteOutcome::Stored;
    write([&](Connection &connection) {
        const auto existing = FindRecord(connection, account, idGuid);
        if (existing && existing->second)
            return;
        if (fields) {
            RecordFields record = *fields;
            record.idGuid = idGuid;
            WriteRecord(connection, account, record, existing ? std::optional(existing->first) : std::nullopt, true);
            return;
        }
        if (!existing) {
            outcome = WriteOutcome::NotFound;
            return;
        }
        Query(connection, "UPDATE records SET is_lock = 1, updated_at = datetime('now') WHERE id = ?")
            .bind(existing->first)
            .run();
    });
    return outcome;
}

WriteOutcome SqliteStorage::deleteRecord(std::int64_t account, const std::string &idGuid)
{
    WriteOutcome outcome = WriteOutcome::Stored;
    write([&](Connection &connection) {
        const auto existing = FindRecord(connection, account, idGuid);
        if (!existing || existing->second) {
            outcome = existing ? WriteOutcome::Locked : WriteOutcome::NotFound;
            return;
        }
        Query(connection, "DELETE FROM records WHERE id = ? AND account_id = ?")
            .bind(existing->first)
            .bind(account)
            .run();
    });
    return outcome;
}

RecordPage SqliteStorage::newestRecords(std::int64_t account, std::optional<std::int64_t> minCentsExclusive, int offset,
                                        int limit)
{
    auto connection = lease();
    RecordPage page;
    // One read transaction, so the count and the rows agree even while others write.
    Transaction read(*connection, Transaction::Lock::Read);
    if (minCentsExclusive) {
        Query count(*connection, "SELECT count(*) FROM records WHERE account_id = ? AND cents > ?");
        count.bind(account).bind(*minCentsExclusive);
        page.total = count.step() ? count.integer(0) : 0;
    } else {
        Query count(*connection, "SELECT record_count FROM accounts WHERE id = ?");
        count.bind(account);
        page.total = count.step() ? count.integer(0) : 0;
    }
    {
        Query rows(*connection, std::string("SELECT ") + kRecordColumns +
                                    " FROM records WHERE account_id = ? AND (?2 IS NULL OR cents > ?2) "
                                    "ORDER BY day DESC, id DESC LIMIT ? OFFSET ?");
        rows.bind(account)
            .bind(minCentsExclusive)
            .bind(static_cast<std::int64_t>(limit))
            .bind(static_cast<std::int64_t>(offset));
        TakeRows(rows, limit, page);
    }
    read.commit();
    return page;
}

namespace
{
// Only the conditions that are set go into the statement: "?x IS NULL OR ..." would keep SQLite from using the
// day index for the range. At most 32 variants, each prepared once per connection.
std::string FilterClause(const RecordFilter &filter)
{
    std::string clause = " FROM records WHERE account_id = ?";
    if (filter.fromDay)
        clause += " AND day >= ?";
    if (filter.untilDay)
        clause += " AND day < ?";
    if (filter.minCentsExclusive)
        clause += " AND cents > ?";
    if (filter.type1)
        clause += " AND type1 = ?";
    if (filter.income)
        clause += " AND income = ?";
    return clause;
}

void BindFilter(Query &query, std::int64_t account, const RecordFilter &filter)
{
    query.bind(account);
    if (filter.fromDay)
        query.bind(*filter.fromDay);
    if (filter.untilDay)
        query.bind(*filter.untilDay);
    if (filter.minCentsExclusive)
        query.bind(*filter.minCentsExclusive);
    if (filter.type1)
        query.bind(*filter.type1);
    if (filter.income)
        query.bind(static_cast<std::int64_t>(*filter.income ? 1 : 0));
}
} // namespace

RecordPage SqliteStorage::findRecords(std::int64_t account, const RecordFilter &filter, int offset, int limit)
{
    auto connection = lease();
    RecordPage page;
    Transaction read(*connection, Transaction::Lock::Read);
    {
        Query count(*connection, "SELECT count(*)" + FilterClause(filter));
        BindFilter(count, account, filter);
        page.total = count.step() ? count.integer(0) : 0;
    }
    {
        Query rows(*connection, std::string("SELECT ") + kRecordColumns + FilterClause(filter) +
                                    " ORDER BY day, id LIMIT ? OFFSET ?");
        BindFilter(rows, account, filter);
        rows.bind(static_cast<std::int64_t>(limit)).bind(static_cast<std::int64_t>(offset));
        TakeRows(rows, limit, page);
    }
    read.commit();
    return page;
}

std::vector<CategoryTotal> SqliteStorage::categoryTotals(std::int64_t account, const RecordFilter &filter)
{
    auto connection = lease();
    Query query(*connection, "SELECT type1, sum(cents)" + FilterClause(filter) + " GROUP BY type1 ORDER BY 2 DESC, 1");
    BindFilter(query, account, filter);
    std::vector<CategoryTotal> totals;
    while (query.step())
        totals.push_back({query.text(0), query.integer(1)});
    return totals;
}

MonthTotal SqliteStorage::recountMonth(std::int64_t account, int year, int month)
{
    // Plain variables, not a structured binding: the lambda below captures them, which clang before 16 refuses.
    const std::pair<int, int> next = ShiftMonth(year, month, 1);
    const int nextYear = next.first;
    const int nextMonth = next.second;
    MonthTotal total{year, month, 0, 0};
    write([&](Connection &connection) {
        {
            Query query(connection, "SELECT coalesce(sum(CASE WHEN income THEN 0 ELSE cents END), 0), "
                                    "coalesce(sum(CASE WHEN income THEN cents ELSE 0 END), 0) FROM records "
                                    "WHERE account_id = ? AND day >= ? AND day < ?");
            query.bind(account).bind(MonthStart(year, month)).bind(MonthStart(nextYear, nextMonth));
            if (query.step()) {
                total.expenseCents = query.integer(0);
                total.incomeCents = query.integer(1);
            }
        }
        Query(connection, "INSERT INTO month_totals (account_id, year, month, expense_cents, income_cents) "
                          "VALUES (?, ?, ?, ?, ?) ON CONFLICT (account_id, year, month) DO UPDATE SET "
                          "expense_cents = excluded.expense_cents, income_cents = excluded.income_cents, "
                          "counted_at = datetime('now')")
            .bind(account)
            .bind(static_cast<std::int64_t>(year))
            .bind(static_cast<std::int64_t>(month))
            .bind(total.expenseCents)
            .bind(total.incomeCents)
            .run();
    });
    return total;
}

std::vector<MonthTotal> SqliteStorage::monthTotals(std::int64_t account, int year, int month, int count)
{
    if (count <= 0)
        return {};
    const auto [firstYear, firstMonth] = ShiftMonth(year, month, -(count - 1));
    const auto [endYear, endMonth] = ShiftMonth(year, month, 1);
    std::unordered_map<std::string, MonthTotal> counted;
    {
        auto connection = lease();
        Query query(*connection, "SELECT substr(day, 1, 7), "
                                 "sum(CASE WHEN income THEN 0 ELSE cents END), "
                                 "sum(CASE WHEN income THEN cents ELSE 0 END) FROM records "
                                 "WHERE account_id = ? AND day >= ? AND day < ? GROUP BY 1");
        query.bind(account).bind(MonthStart(firstYear, firstMonth)).bind(MonthStart(endYear, endMonth));
        while (query.step())
            counted[query.text(0)] = MonthTotal{0, 0, query.integer(1), query.integer(2)};
    }
    return MonthsBack(year, month, count, counted);
}

std::int64_t SqliteStorage::recordCount(std::int64_t account)
{
    auto connection = lease();
    Query query(*connection, "SELECT record_count FROM accounts WHERE id = ?");
    query.bind(account);
    return query.step() ? query.integer(0) : 0;
}

} // namespace lumora::service
