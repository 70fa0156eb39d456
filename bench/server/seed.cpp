// bench_service_seed DB COUNT: a database with the account "bench" / "bench" holding COUNT records spread over
// the last three years, written in one transaction (the service itself would fsync every record). DB is a SQLite
// file or a postgresql:// URI.
#include "server/Accounts.h"
#include "server/CalendarDate.h"
#include "server/Money.h"
#include "server/OpenStorage.h"
#include "server/PgStorage.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

using namespace lumora::service;

namespace
{

// The same mix of records, made by the server itself in one statement.
int SeedPostgres(const std::string &uri, std::int64_t account, long count)
{
    PGconn *conn = PQconnectdb(uri.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        std::fprintf(stderr, "%s", PQerrorMessage(conn));
        PQfinish(conn);
        return 1;
    }
    const std::string accountText = std::to_string(account);
    const std::string countText = std::to_string(count);
    const char *params[] = {accountText.c_str(), countText.c_str()};
    // The kept count is set once at the end: a trigger updating one counter row per record would leave a chain
    // of 100,000 row versions in one transaction, each update walking it.
    PQclear(PQexec(conn, "BEGIN; ALTER TABLE records DISABLE TRIGGER records_counted"));
    PGresult *result = PQexecParams(
        conn,
        "INSERT INTO records (account_id, id_guid, name1, in1, income, money1, cents, type1, create_time, day, "
        "input_user) SELECT $1::bigint, '{BENCH-SEED-' || i || '}', "
        "(ARRAY['早餐','午饭','地铁','超市购物','电费','工资'])[k + 1], "
        "CASE WHEN k = 5 THEN '1' ELSE '0' END, CASE WHEN k = 5 THEN 1 ELSE 0 END, to_char(c / 100.0, 'FM999990.00'), "
        "c, "
        "(ARRAY['餐饮','餐饮','交通','购物','水电煤','工资'])[k + 1], d, d, '丈夫' FROM ("
        "SELECT i, floor(random() * 6)::int AS k, 100 + floor(random() * 50000)::bigint AS c, "
        "to_char(current_date - (random() * 1094)::int, 'YYYY-MM-DD') AS d FROM generate_series(1, $2::bigint) i) s",
        2, nullptr, params, nullptr, nullptr, 0);
    bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    if (!ok)
        std::fprintf(stderr, "insert failed: %s", PQresultErrorMessage(result));
    PQclear(result);
    if (ok) {
        result = PQexecParams(conn,
                              "INSERT INTO record_counts (account_id, shard, n) SELECT $1::bigint, 0, count(*) "
                              "FROM records WHERE account_id = $1::bigint ON CONFLICT (account_id, shard) DO UPDATE "
                              "SET n = excluded.n",
                              1, nullptr, params, nullptr, nullptr, 0);
        ok = PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
        PQclear(PQexec(conn, "ALTER TABLE records ENABLE TRIGGER records_counted"));
        result = PQexec(conn, "COMMIT");
        ok = ok && PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
    }
    if (ok)
        PQclear(PQexec(conn, "ANALYZE"));
    PQfinish(conn);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_service_seed DB COUNT\n");
        return 2;
    }
    const std::string path = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);
    std::int64_t account = 0;
    {
        const auto storage = OpenStorage(path, 1);
        Accounts accounts(*storage);
        account = accounts.ensure("bench", "bench");
    }
    if (PgStorage::IsConnectionUri(path)) {
        if (SeedPostgres(path, account, count) != 0)
            return 1;
        std::printf("seeded %ld records for bench / bench in %s\n", count, path.c_str());
        return 0;
    }

    sqlite3 *db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        return 1;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO records (account_id, id_guid, name1, in1, income, money1, cents, type1, "
                       "create_time, day, input_user) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    const char *names[] = {"早餐", "午饭", "地铁", "超市购物", "电费", "工资"};
    const char *types[] = {"餐饮", "餐饮", "交通", "购物", "水电煤", "工资"};
    std::mt19937 random(42);
    const CalendarDate today = CalendarDate::Today();
    for (long i = 0; i < count; ++i) {
        const int kind = static_cast<int>(random() % 6);
        const std::int64_t cents = 100 + static_cast<std::int64_t>(random() % 50000);
        const std::string day = today.addDays(-static_cast<int>(random() % 1095)).iso();
        const std::string guid = "{BENCH-SEED-" + std::to_string(i) + "}";
        const std::string money = FormatCents(cents);
        sqlite3_bind_int64(insert, 1, account);
        sqlite3_bind_text(insert, 2, guid.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, names[kind], -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, kind == 5 ? "1" : "0", -1, SQLITE_STATIC);
        sqlite3_bind_int(insert, 5, kind == 5 ? 1 : 0);
        sqlite3_bind_text(insert, 6, money.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 7, cents);
        sqlite3_bind_text(insert, 8, types[kind], -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 9, day.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 10, day.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 11, "丈夫", -1, SQLITE_STATIC);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            std::fprintf(stderr, "insert failed: %s\n", sqlite3_errmsg(db));
            return 1;
        }
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "ANALYZE", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::printf("seeded %ld records for bench / bench in %s\n", count, path.c_str());
    return 0;
}
