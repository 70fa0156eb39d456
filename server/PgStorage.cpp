#include "PgStorage.h"

#include "MonthSpan.h"

#include <libpq-fe.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <stdexcept>
#include <unordered_map>

namespace lumora::service
{

namespace
{

// Each entry moves the schema one version up; entries are never edited once released, only appended.
const char *const kMigrations[] = {
    R"sql(
CREATE TABLE accounts (
    id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    name TEXT COLLATE "C" NOT NULL UNIQUE,
    pass_hash TEXT NOT NULL,
    categories TEXT NOT NULL,
    created_at TIMESTAMPTZ NOT NULL DEFAULT now()
);
-- Days and categories order by their bytes, as on SQLite, whatever the database's locale.
CREATE TABLE records (
    id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    account_id BIGINT NOT NULL REFERENCES accounts(id),
    id_guid TEXT COLLATE "C" NOT NULL,
    name1 TEXT NOT NULL,
    in1 TEXT NOT NULL,
    income INTEGER NOT NULL,
    money1 TEXT NOT NULL,
    cents BIGINT NOT NULL,
    type1 TEXT COLLATE "C" NOT NULL,
    create_time TEXT NOT NULL,
    day TEXT COLLATE "C" NOT NULL,
    input_user TEXT NOT NULL,
    is_lock INTEGER NOT NULL DEFAULT 0,
    updated_at TIMESTAMPTZ NOT NULL DEFAULT now(),
    UNIQUE (account_id, id_guid)
);
-- The newest-records page walks this index backwards.
CREATE INDEX records_by_day ON records(account_id, day, id);
CREATE TABLE month_totals (
    account_id BIGINT NOT NULL REFERENCES accounts(id),
    year INTEGER NOT NULL,
    month INTEGER NOT NULL,
    expense_cents BIGINT NOT NULL,
    income_cents BIGINT NOT NULL,
    counted_at TIMESTAMPTZ NOT NULL DEFAULT now(),
    PRIMARY KEY (account_id, year, month)
);
-- A kept count makes the page information of the newest-records page free. It is spread over a few rows per
-- account, picked by the writing backend, so saves of one account do not queue for one row lock until their
-- commits; the count is the sum of the rows.
CREATE TABLE record_counts (
    account_id BIGINT NOT NULL REFERENCES accounts(id),
    shard INTEGER NOT NULL,
    n BIGINT NOT NULL,
    PRIMARY KEY (account_id, shard)
);
CREATE FUNCTION count_records() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP = 'INSERT' THEN
        INSERT INTO record_counts AS c (account_id, shard, n) VALUES (NEW.account_id, pg_backend_pid() % 16, 1)
            ON CONFLICT (account_id, shard) DO UPDATE SET n = c.n + 1;
    ELSE
        INSERT INTO record_counts AS c (account_id, shard, n) VALUES (OLD.account_id, pg_backend_pid() % 16, -1)
            ON CONFLICT (account_id, shard) DO UPDATE SET n = c.n - 1;
    END IF;
    RETURN NULL;
END
$$;
CREATE TRIGGER records_counted AFTER INSERT OR DELETE ON records FOR EACH ROW EXECUTE FUNCTION count_records();
)sql",
};

// Any number: the key of the advisory lock that lets one starting process at a time migrate.
constexpr const char *kMigrationLock = "SELECT pg_advisory_xact_lock(7305316471)";

const char *const kRecordColumns =
    "id, id_guid, name1, in1, money1, cents, type1, create_time, day, input_user, is_lock";

// The connection broke under a statement; what the statement did is unknown.
class LostConnection : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

using Params = std::vector<std::optional<std::string>>;

class Result
{
public:
    explicit Result(PGresult *result) : result_(result) {}
    ~Result() { PQclear(result_); }
    Result(Result &&other) noexcept : result_(other.result_) { other.result_ = nullptr; }
    Result(const Result &) = delete;
    Result &operator=(const Result &) = delete;

    int rows() const { return PQntuples(result_); }
    bool isNull(int row, int column) const { return PQgetisnull(result_, row, column) != 0; }
    std::string text(int row, int column) const
    {
        return std::string(PQgetvalue(result_, row, column), static_cast<size_t>(PQgetlength(result_, row, column)));
    }
    std::int64_t integer(int row, int column) const
    {
        return std::strtoll(PQgetvalue(result_, row, column), nullptr, 10);
    }

    // The record whose columns (kRecordColumns) start at first.
    StoredRecord record(int row, int first) const
    {
        StoredRecord r;
        r.id = integer(row, first);
        r.fields.idGuid = text(row, first + 1);
        r.fields.name1 = text(row, first + 2);
        r.fields.in1 = text(row, first + 3);
        r.fields.money1 = text(row, first + 4);
        r.fields.cents = integer(row, first + 5);
        r.fields.type1 = text(row, first + 6);
        r.fields.createTime = text(row, first + 7);
        r.fields.day = text(row, first + 8);
        r.fields.inputUser = text(row, first + 9);
        r.locked = integer(row, first + 10) != 0;
        return r;
    }

private:
    PGresult *result_;
};

} // namespace

class PgStorage::Connection
{
public:
    explicit Connection(const std::string &uri)
    {
        // Keys before dbname are defaults the URI may override; the encoding after it is not negotiable, every
        // text of the service is UTF-8.
        const char *keys[] = {"connect_timeout", "application_name", "dbname", "client_encoding", nullptr};
        const char *values[] = {"5", "lumora-service", uri.c_str(), "UTF8", nullptr};
        conn_ = PQconnectdbParams(keys, values, 1);
        if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
            std::string message = conn_ ? PQerrorMessage(conn_) : "out of memory";
            PQfinish(conn_);
            while (!message.empty() && message.back() == '\n')
                message.pop_back();
            throw std::runtime_error("cannot connect to the database: " + message);
        }
        // Durable before the reply: a server set to answer commits before they reach the disk is overruled for
        // these sessions (stronger settings, like waiting for a standby, are kept).
        try {
            if (run("SELECT current_setting('synchronous_commit')", {}).text(0, 0) == "off")
                exec("SET synchronous_commit = on");
        } catch (...) {
            PQfinish(conn_);
            throw;
        }
        // Every statement here finds its rows through an index led by the account, whatever the values, so
        // one plan per statement serves all. Left to itself the server plans most statements anew on each run
        // (their LIMIT and OFFSET are parameters, which makes its generic estimate look worse), and that
        // planning cost more than running the newest-records page. A server without the setting plans as it
        // likes.
        try {
            exec("SET plan_cache_mode = force_generic_plan");
        } catch (const LostConnection &) {
            PQfinish(conn_);
            throw;
        } catch (const std::runtime_error &) {
        }
    }
    ~Connection() { PQfinish(conn_); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Connected and outside any transaction, as far as the last statement showed.
    bool reusable() const { return PQstatus(conn_) == CONNECTION_OK && PQtransactionStatus(conn_) == PQTRANS_IDLE; }

    // Reusable and not closed by the server while it sat in the pool (a restarted server closes it).
    bool healthy()
    {
        if (!reusable())
            return false;
        pollfd fd{PQsocket(conn_), POLLIN, 0};
        if (poll(&fd, 1, 0) > 0 && (PQconsumeInput(conn_) == 0 || PQstatus(conn_) != CONNECTION_OK))
            return false;
        return true;
    }

    // Statements without parameters, also several at once.
    void exec(const char *sql)
    {
        PGresult *result = PQexec(conn_, sql);
        check(result, sql);
        PQclear(result);
    }

    // Prepared once per connection and kept; every value goes as a bound parameter.
    Result run(const std::string &sql, const Params &params)
    {
        auto it = prepared_.find(sql);
        if (it == prepared_.end()) {
            const std::string name = "s" + std::to_string(prepared_.size());
            PGresult *made = PQprepare(conn_, name.c_str(), sql.c_str(), static_cast<int>(params.size()), nullptr);
            check(made, sql.c_str());
            PQclear(made);
            it = prepared_.emplace(sql, name).first;
        }
        std::vector<const char *> values;
        values.reserve(params.size());
        for (const auto &param : params) {
            // Text goes as a C string; a NUL inside would silently cut it, and PostgreSQL keeps no NUL in text.
            if (param && param->find('\0') != std::string::npos)
                throw std::runtime_error("text with a NUL character cannot be stored");
            values.push_back(param ? param->c_str() : nullptr);
        }
        PGresult *result = PQexecPrepared(conn_, it->second.c_str(), static_cast<int>(values.size()), values.data(),
                                          nullptr, nullptr, 0);
        check(result, sql.c_str());
        return Result(result);
    }

private:
    void check(PGresult *result, const char *sql)
    {
        const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            return;
        std::string message = result ? PQresultErrorMessage(result) : "";
        if (message.empty())
            message = PQerrorMessage(conn_);
        PQclear(result);
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
        message = "postgresql: " + message + " (in " + std::string(sql).substr(0, 60) + ")";
        if (PQstatus(conn_) != CONNECTION_OK)
            throw LostConnection(message);
        throw std::runtime_error(message);
    }

    PGconn *conn_ = nullptr;
    std::unordered_map<std::string, std::string> prepared_; // text -> statement name
};

class PgStorage::Lease
{
public:
    Lease(PgStorage &owner, std::unique_ptr<Connection> connection) : owner_(owner), connection_(std::move(connection))
    {
    }
    ~Lease()
    {
        if (connection_)
            owner_.giveBack(std::move(connection_));
    }
    Lease(Lease &&) = default;
    Connection &operator*() const { return *connection_; }
    Connection *operator->() const { return connection_.get(); }

private:
    PgStorage &owner_;
    std::unique_ptr<Connection> connection_;
};

namespace
{

std::string Number(std::int64_t value)
{
    return std::to_string(value);
}

// A read runs again once on another connection when its connection turns out to be gone: it changes nothing.
template <typename Lend, typename Read> auto Reading(Lend lend, Read read)
{
    try {
        auto connection = lend();
        return read(*connection);
    } catch (const LostConnection &) {
        auto connection = lend();
        return read(*connection);
    }
}

} // namespace

PgStorage::PgStorage(const std::string &uri, size_t poolSize) : uri_(uri), poolSize_(poolSize ? poolSize : 1)
{
    auto connection = lease();
    migrate(*connection);
}

PgStorage::~PgStorage() = default;

int PgStorage::SchemaVersion()
{
    return static_cast<int>(std::size(kMigrations));
}

bool PgStorage::IsConnectionUri(const std::string &db)
{
    return db.rfind("postgresql://", 0) == 0 || db.rfind("postgres://", 0) == 0;
}

PgStorage::Lease PgStorage::lease()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        while (!idle_.empty()) {
            auto connection = std::move(idle_.back());
            idle_.pop_back();
            lock.unlock();
            if (connection->healthy())
                return Lease(*this, std::move(connection));
            connection.reset();
            lock.lock();
            --open_;
        }
        if (open_ < poolSize_) {
            ++open_;
            lock.unlock();
            try {
                return Lease(*this, std::make_unique<Connection>(uri_));
            } catch (...) {
                lock.lock();
                --open_;
                returned_.notify_one();
                throw;
            }
        }
        if (returned_.wait_for(lock, std::chrono::seconds(30)) == std::cv_status::timeout && idle_.empty() &&
            open_ >= poolSize_)
            throw std::runtime_error("no database connection came free");
    }
}

void PgStorage::giveBack(std::unique_ptr<Connection> connection)
{
    // A broken connection, or one a failure left inside a transaction, is not lent again. Whether the server
    // closed it meanwhile is asked when it is lent next.
    const bool keep = connection->reusable();
    if (!keep)
        connection.reset();
    {
        std::lock_guard lock(mutex_);
        if (keep)
            idle_.push_back(std::move(connection));
        else
            --open_;
    }
    returned_.notify_one();
}

void PgStorage::migrate(Connection &connection)
{
    // Processes starting together take turns; the first one creates, the others find the schema made.
    connection.exec("BEGIN");
    try {
        connection.exec(kMigrationLock);
        connection.exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
        const Result found = connection.run("SELECT version FROM schema_version", {});
        const int version = found.rows() > 0 ? static_cast<int>(found.integer(0, 0)) : 0;
        if (version > SchemaVersion())
            throw std::runtime_error("the database was made by a newer lumora-service");
        for (int next = version; next < SchemaVersion(); ++next)
            connection.exec(kMigrations[next]);
        if (found.rows() == 0)
            connection.run("INSERT INTO schema_version (version) VALUES ($1)", {Number(SchemaVersion())});
        else
            connection.run("UPDATE schema_version SET version = $1", {Number(SchemaVersion())});
        connection.exec("COMMIT");
    } catch (...) {
        // A connection left inside the transaction is dropped when it goes back to the pool anyway.
        try {
            connection.exec("ROLLBACK");
        } catch (...) {
        }
        throw;
    }
}

std::optional<AccountSecret> PgStorage::findAccount(const std::string &name)
{
    return Reading([this] { return lease(); },
                   [&](Connection &connection) -> std::optional<AccountSecret> {
                       const Result found =
                           connection.run("SELECT id, pass_hash FROM accounts WHERE name = $1", {name});
                       if (found.rows() == 0)
                           return std::nullopt;
                       return AccountSecret{found.integer(0, 0), found.text(0, 1)};
                   });
}

CreateOutcome PgStorage::createAccount(const std::string &name, const std::string &passwordHash,
                                       const std::string &categories)
{
    const Result made = lease()->run("INSERT INTO accounts (name, pass_hash, categories) VALUES ($1, $2, $3) "
                                     "ON CONFLICT (name) DO NOTHING RETURNING id",
                                     {name, passwordHash, categories});
    return made.rows() > 0 ? CreateOutcome::Created : CreateOutcome::NameTaken;
}

void PgStorage::setPasswordHash(std::int64_t account, const std::string &passwordHash)
{
    lease()->run("UPDATE accounts SET pass_hash = $1 WHERE id = $2", {passwordHash, Number(account)});
}

std::string PgStorage::categories(std::int64_t account)
{
    return Reading([this] { return lease(); },
                   [&](Connection &connection) {
                       const Result found =
                           connection.run("SELECT categories FROM accounts WHERE id = $1", {Number(account)});
                       return found.rows() > 0 ? found.text(0, 0) : std::string();
                   });
}

void PgStorage::setCategories(std::int64_t account, const std::string &categories)
{
    lease()->run("UPDATE accounts SET categories = $1 WHERE id = $2", {categories, Number(account)});
}

namespace
{

// Inserts, or updates the unlocked record of that key; no row comes back when the record is locked. One
// statement, so two processes saving the same new record at once still leave one row.
const char *const kUpsert =
    "INSERT INTO records (account_id, id_guid, name1, in1, income, money1, cents, type1, create_time, day, "
    "input_user, is_lock) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12) "
    "ON CONFLICT (account_id, id_guid) DO UPDATE SET name1 = excluded.name1, in1 = excluded.in1, "
    "income = excluded.income, money1 = excluded.money1, cents = excluded.cents, type1 = excluded.type1, "
    "create_time = excluded.create_time, day = excluded.day, input_user = excluded.input_user, "
    "is_lock = excluded.is_lock, updated_at = now() WHERE records.is_lock = 0 RETURNING id";

Params UpsertParams(std::int64_t account, const std::string &idGuid, const RecordFields &r, bool lock)
{
    return {Number(account),
            idGuid,
            r.name1,
            r.in1,
            std::string(r.in1 == "1" ? "1" : "0"),
            r.money1,
            Number(r.cents),
            r.type1,
            r.createTime,
            r.day,
            r.inputUser,
            std::string(lock ? "1" : "0")};
}

} // namespace

WriteOutcome PgStorage::saveRecord(std::int64_t account, const RecordFields &record)
{
    const Result saved = lease()->run(kUpsert, UpsertParams(account, record.idGuid, record, false));
    return saved.rows() > 0 ? WriteOutcome::Stored : WriteOutcome::Locked;
}

WriteOutcome PgStorage::lockRecord(std::int64_t account, const std::string &idGuid,
                                   const std::optional<RecordFields> &fields)
{
    auto connection = lease();
    if (fields) {
        // A record locked already keeps its fields; locking it again is still a success.
        connection->run(kUpsert, UpsertParams(account, idGuid, *fields, true));
        return WriteOutcome::Stored;
    }
    const Result locked =
        connection->run("UPDATE records SET is_lock = 1, updated_at = now() WHERE account_id = $1 AND id_guid = $2 "
                        "RETURNING id",
                        {Number(account), idGuid});
    return locked.rows() > 0 ? WriteOutcome::Stored : WriteOutcome::NotFound;
}

WriteOutcome PgStorage::deleteRecord(std::int64_t account, const std::string &idGuid)
{
    auto connection = lease();
    // A lock committed meanwhile by another process is seen here: the delete rechecks the row it waited for.
    const Result gone =
        connection->run("DELETE FROM records WHERE account_id = $1 AND id_guid = $2 AND is_lock = 0 RETURNING id",
                        {Number(account), idGuid});
    if (gone.rows() > 0)
        return WriteOutcome::Stored;
    const Result left =
        connection->run("SELECT 1 FROM records WHERE account_id = $1 AND id_guid = $2", {Number(account), idGuid});
    return left.rows() > 0 ? WriteOutcome::Locked : WriteOutcome::NotFound;
}

namespace
{

// A statement sees one state of the database, so the count and the page of one statement agree even while
// other processes write. The page joins to the one count row, which also comes alone when the page is empty.
RecordPage PageOf(const Result &rows)
{
    RecordPage page;
    if (rows.rows() == 0)
        return page;
    page.total = rows.integer(0, 0);
    page.records.reserve(static_cast<size_t>(rows.rows()));
    for (int row = 0; row < rows.rows(); ++row) {
        if (!rows.isNull(row, 1))
            page.records.push_back(rows.record(row, 1));
    }
    return page;
}

std::string PageQuery(const std::string &count, const std::string &rows)
{
    return "SELECT t.total, r.* FROM (" + count + ") t LEFT JOIN LATERAL (" + rows + ") r ON true";
}

// Only the conditions that are set go into the statement, numbered from $1 (the account).
std::string FilterClause(std::int64_t account, const RecordFilter &filter, Params &params)
{
    params.push_back(Number(account));
    std::string clause = " FROM records WHERE account_id = $1";
    auto add = [&](const char *condition, std::string value) {
        params.push_back(std::move(value));
        clause += std::string(" AND ") + condition + " $" + std::to_string(params.size());
    };
    if (filter.fromDay)
        add("day >=", *filter.fromDay);
    if (filter.untilDay)
        add("day <", *filter.untilDay);
    if (filter.minCentsExclusive)
        add("cents >", Number(*filter.minCentsExclusive));
    if (filter.type1)
        add("type1 =", *filter.type1);
    if (filter.income)
        add("income =", *filter.income ? "1" : "0");
    return clause;
}

} // namespace

RecordPage PgStorage::newestRecords(std::int64_t account, std::optional<std::int64_t> minCentsExclusive, int offset,
                                    int limit)
{
    return *newestPage(account, nullptr, minCentsExclusive, offset, limit);
}

std::optional<RecordPage> PgStorage::newestRecordsWhileHash(std::int64_t account, const std::string &passwordHash,
                                                            std::optional<std::int64_t> minCentsExclusive,
                                                            int offset, int limit)
{
    return newestPage(account, &passwordHash, minCentsExclusive, offset, limit);
}

std::optional<RecordPage> PgStorage::newestPage(std::int64_t account, const std::string *passwordHash,
                                                std::optional<std::int64_t> minCentsExclusive, int offset, int limit)
{
    Params params{Number(account), Number(limit), Number(offset)};
    std::string count = "SELECT coalesce(sum(n), 0) AS total FROM record_counts WHERE account_id = $1";
    std::string where = " WHERE account_id = $1";
    if (minCentsExclusive) {
        params.push_back(Number(*minCentsExclusive));
        where += " AND cents > $4";
        count = "SELECT count(*) AS total FROM records" + where;
    }
    const std::string page = std::string("SELECT ") + kRecordColumns + " FROM records" + where +
                             " ORDER BY day DESC, id DESC LIMIT $2 OFFSET $3";
    if (!passwordHash) {
        const std::string sql = PageQuery(count, page);
        return Reading([this] { return lease(); },
                       [&](Connection &connection) { return PageOf(connection.run(sql, params)); });
    }
    // The count row always comes, so no row at all means the guard failed; the server checks the guard once,
    // before it reads anything else.
    params.push_back(*passwordHash);
    const std::string sql = PageQuery(count, page) + " WHERE EXISTS (SELECT 1 FROM accounts WHERE id = $1 AND " +
                            "pass_hash = $" + std::to_string(params.size()) + ")";
    return Reading([this] { return lease(); },
                   [&](Connection &connection) -> std::optional<RecordPage> {
                       const Result rows = connection.run(sql, params);
                       if (rows.rows() == 0)
                           return std::nullopt;
                       return PageOf(rows);
                   });
}

RecordPage PgStorage::findRecords(std::int64_t account, const RecordFilter &filter, int offset, int limit)
{
    Params params;
    const std::string clause = FilterClause(account, filter, params);
    params.push_back(Number(limit));
    params.push_back(Number(offset));
    const std::string sql =
        PageQuery("SELECT count(*) AS total" + clause,
                  std::string("SELECT ") + kRecordColumns + clause + " ORDER BY day, id LIMIT $" +
                      std::to_string(params.size() - 1) + " OFFSET $" + std::to_string(params.size()));
    return Reading([this] { return lease(); },
                   [&](Connection &connection) { return PageOf(connection.run(sql, params)); });
}

std::vector<CategoryTotal> PgStorage::categoryTotals(std::int64_t account, const RecordFilter &filter)
{
    Params params;
    const std::string sql =
        "SELECT type1, sum(cents)" + FilterClause(account, filter, params) + " GROUP BY type1 ORDER BY 2 DESC, 1";
    return Reading([this] { return lease(); },
                   [&](Connection &connection) {
                       const Result rows = connection.run(sql, params);
                       std::vector<CategoryTotal> totals;
                       for (int row = 0; row < rows.rows(); ++row)
                           totals.push_back({rows.text(row, 0), rows.integer(row, 1)});
                       return totals;
                   });
}

MonthTotal PgStorage::recountMonth(std::int64_t account, int year, int month)
{
    const auto [nextYear, nextMonth] = ShiftMonth(year, month, 1);
    const Result counted = lease()->run(
        "INSERT INTO month_totals (account_id, year, month, expense_cents, income_cents) "
        "SELECT $1::bigint, $2::integer, $3::integer, "
        "coalesce(sum(CASE WHEN income <> 0 THEN 0 ELSE cents END), 0), "
        "coalesce(sum(CASE WHEN income <> 0 THEN cents ELSE 0 END), 0) FROM records "
        "WHERE account_id = $1 AND day >= $4 AND day < $5 "
        "ON CONFLICT (account_id, year, month) DO UPDATE SET expense_cents = excluded.expense_cents, "
        "income_cents = excluded.income_cents, counted_at = now() RETURNING expense_cents, income_cents",
        {Number(account), Number(year), Number(month), MonthStart(year, month), MonthStart(nextYear, nextMonth)});
    return MonthTotal{year, month, counted.integer(0, 0), counted.integer(0, 1)};
}

std::vector<MonthTotal> PgStorage::monthTotals(std::int64_t account, int year, int month, int count)
{
    if (count <= 0)
        return {};
    // Plain strings for the lambda: clang 14 refuses structured bindings captured by one.
    const auto [firstYear, firstMonth] = ShiftMonth(year, month, -(count - 1));
    const auto [endYear, endMonth] = ShiftMonth(year, month, 1);
    const std::string from = MonthStart(firstYear, firstMonth);
    const std::string to = MonthStart(endYear, endMonth);
    std::unordered_map<std::string, MonthTotal> counted;
    Reading([this] { return lease(); },
            [&](Connection &connection) {
                const Result rows =
                    connection.run("SELECT substr(day, 1, 7), "
                                   "sum(CASE WHEN income <> 0 THEN 0 ELSE cents END), "
                                   "sum(CASE WHEN income <> 0 THEN cents ELSE 0 END) FROM records "
                                   "WHERE account_id = $1 AND day >= $2 AND day < $3 GROUP BY 1",
                                   {Number(account), from, to});
                counted.clear();
                for (int row = 0; row < rows.rows(); ++row)
                    counted[rows.text(row, 0)] = MonthTotal{0, 0, rows.integer(row, 1), rows.integer(row, 2)};
                return 0;
            });
    return MonthsBack(year, month, count, counted);
}

std::int64_t PgStorage::recordCount(std::int64_t account)
{
    return Reading([this] { return lease(); },
                   [&](Connection &connection) {
                       return connection
                           .run("SELECT coalesce(sum(n), 0) FROM record_counts WHERE account_id = $1",
                                {Number(account)})
                           .integer(0, 0);
                   });
}

} // namespace lumora::service
