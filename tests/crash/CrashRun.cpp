#include "CrashRun.h"

#include "server/Accounts.h"
#include "server/OpenStorage.h"
#include "server/PgStorage.h"

#include <httplib.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace lumora::crash
{

namespace
{

using Clock = std::chrono::steady_clock;

const char *const kUser = "crash";
const char *const kPassword = "pw";
// "午饭" in GBK, as the client sends it; the service keeps it as UTF-8.
const char *const kNameGbk = "%CE%E7%B7%B9";
const char *const kNameUtf8 = "\xE5\x8D\x88\xE9\xA5\xAD";

// One started service: its process and the port it reported.
struct Running {
    pid_t pid = -1;
    int port = 0;
};

Running StartService(const std::string &binary, const std::string &db, std::string &error)
{
    int out[2];
    if (pipe(out) != 0) {
        error = "pipe failed";
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    // The request log is not wanted here.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args{binary, "--listen", "127.0.0.1:0", "--db", db, "--threads", "8"};
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    Running running;
    const int spawned = posix_spawn(&running.pid, binary.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        error = "cannot start " + binary + ": " + std::strerror(spawned);
        return {};
    }
    // Wait for "listening on 127.0.0.1:PORT".
    std::string line;
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (line.find('\n') == std::string::npos && Clock::now() < deadline) {
        pollfd fd{out[0], POLLIN, 0};
        if (poll(&fd, 1, 100) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, size_t(n));
    }
    close(out[0]);
    const size_t colon = line.rfind(':');
    if (line.rfind("listening on ", 0) != 0 || colon == std::string::npos) {
        kill(running.pid, SIGKILL);
        waitpid(running.pid, nullptr, 0);
        error = "service did not start: " + line;
        return {};
    }
    running.port = std::atoi(line.c_str() + colon + 1);
    return running;
}

std::string Encode(const std::string &value)
{
    static const char *hex = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : value) {
        if (std::isalnum(c))
            out += char(c);
        else if (c == ' ')
            out += '+';
        else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// One version of a record as a client sent it.
struct Version {
    std::string money;
    bool acknowledged = false;
};

struct Record {
    std::string name; // UTF-8, as stored
    std::string createTime;
    std::vector<Version> versions; // in the order they were sent
};

class Ledger
{
public:
    std::mutex mutex;
    std::map<std::string, Record> records; // by id_guid
};

std::string SaveBody(const std::string &guid, int client, int n, const std::string &money, const std::string &day)
{
    std::string body =
        "user_name=" + Encode(kUser) + "&user_pass=" + Encode(kPassword) + "&input_user=client" +
        std::to_string(client) + "&client_type=pc&protocol_version=1%2E0&action=add&id_guid=" + Encode(guid) +
        "&name1=" + kNameGbk + "+" + std::to_string(n) + "&in1=0&money1=" + Encode(money) +
        "&type1=%B2%CD%D2%FB&create_time=" + Encode(day) + "&year1=2015&month1=1&day1=" + day.substr(8) + "&";
    return body;
}

void Client(int client, std::uint32_t seed, std::atomic<int> &port, std::atomic<bool> &stop, Ledger &ledger,
            std::atomic<std::int64_t> &attempted, std::atomic<std::int64_t> &acknowledged,
            std::atomic<std::int64_t> &updates)
{
    std::mt19937 random(seed);
    std::vector<std::string> mine; // acknowledged at least once
    for (int n = 0; !stop; ++n) {
        const int current = port.load();
        if (current == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        std::string guid;
        const bool update = !mine.empty() && random() % 3 == 0;
        if (update) {
            guid = mine[random() % mine.size()];
        } else {
            char text[64];
            std::snprintf(text, sizeof text, "{%08X-0000-4000-8000-%012X}", unsigned(client), unsigned(n));
            guid = text;
        }
        const std::string money = std::to_string(random() % 100000) + "." + std::to_string(10 + random() % 90);
        const std::string day = "2015-01-" + std::string(n % 28 + 1 < 10 ? "0" : "") + std::to_string(n % 28 + 1);
        size_t index = 0;
        {
            std::lock_guard lock(ledger.mutex);
            Record &record = ledger.records[guid];
            if (record.versions.empty()) {
                record.name = std::string(kNameUtf8) + " " + std::to_string(n);
                record.createTime = day;
            }
            record.versions.push_back({money, false});
            index = record.versions.size() - 1;
        }
        // An update keeps the record's own name and date; only the amount changes.
        std::string body;
        {
            std::lock_guard lock(ledger.mutex);
            const Record &record = ledger.records[guid];
            const int nameNumber = std::atoi(record.name.c_str() + std::strlen(kNameUtf8) + 1);
            body = SaveBody(guid, client, nameNumber, money, record.createTime);
        }
        ++attempted;
        httplib::Client http("127.0.0.1", current);
        http.set_connection_timeout(2, 0);
        http.set_read_timeout(10, 0);
        http.set_write_timeout(10, 0);
        const auto reply =
            http.Post("/ms/kessum/kessum_sqlite_post.php", body, "application/x-www-form-urlencoded; charset=gbk");
        if (reply && reply->status == 200 && reply->body.find("<Result Value=\"1\"") != std::string::npos) {
            std::lock_guard lock(ledger.mutex);
            ledger.records[guid].versions[index].acknowledged = true;
            ++acknowledged;
            if (update)
                ++updates;
            else
                mine.push_back(guid);
        }
    }
}

std::string IntegrityCheck(const std::string &db)
{
    sqlite3 *handle = nullptr;
    if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(handle);
        return "cannot open";
    }
    std::string result;
    sqlite3_exec(
        handle, "PRAGMA integrity_check",
        [](void *out, int columns, char **values, char **) {
            auto &text = *static_cast<std::string *>(out);
            if (!text.empty())
                text += "; ";
            text += columns > 0 && values[0] ? values[0] : "?";
            return 0;
        },
        &result, nullptr);
    sqlite3_close(handle);
    return result;
}

} // namespace

CrashRunResult RunCrashSafety(const CrashRunOptions &options)
{
    CrashRunResult result;
    const auto started = Clock::now();
    std::string pattern = (std::filesystem::temp_directory_path() / "lumora-crash-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        result.error = "no temporary folder";
        return result;
    }
    const std::filesystem::path dir = pattern;
    const std::string db = options.database.empty() ? (dir / "ledger.sqlite").string() : options.database;
    const bool onSqlite = !lumora::service::PgStorage::IsConnectionUri(db);
    std::int64_t accountId = 0;
    try {
        const auto storage = lumora::service::OpenStorage(db, 1);
        lumora::service::Accounts accounts(*storage, lumora::service::PasswordCost::Minimal);
        accountId = accounts.ensure(kUser, kPassword);
    } catch (const std::exception &e) {
        result.error = std::string("cannot prepare the database: ") + e.what();
        return result;
    }

    Ledger ledger;
    std::atomic<int> port{0};
    std::atomic<bool> stop{false};
    std::atomic<std::int64_t> attempted{0}, acknowledged{0}, updates{0};
    std::vector<std::thread> clients;
    for (int c = 0; c < options.clients; ++c)
        clients.emplace_back(Client, c, options.seed * 7919u + unsigned(c), std::ref(port), std::ref(stop),
                             std::ref(ledger), std::ref(attempted), std::ref(acknowledged), std::ref(updates));

    std::mt19937 random(options.seed);
    const int span = std::max(1, options.maxUpMs - options.minUpMs);
    auto upWhile = [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(options.minUpMs + int(random() % unsigned(span))));
    };
    if (options.restartDatabase) {
        const Running running = StartService(options.serviceBinary, db, result.error);
        port = running.port;
        for (int k = 0; k < options.kills && running.pid > 0 && result.error.empty(); ++k) {
            upWhile();
            if (options.restartDatabase())
                ++result.killsSurvived;
            else
                result.error = "the database server did not come back";
        }
        port = 0;
        if (running.pid > 0) {
            kill(running.pid, SIGKILL);
            waitpid(running.pid, nullptr, 0);
        }
    }
    for (int k = 0; k < options.kills && !options.restartDatabase && result.error.empty(); ++k) {
        const Running running = StartService(options.serviceBinary, db, result.error);
        if (running.pid < 0)
            break;
        port = running.port;
        upWhile();
        kill(running.pid, SIGKILL);
        port = 0;
        int status = 0;
        waitpid(running.pid, &status, 0);
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            ++result.killsSurvived;
        else
            result.error = "service ended before it was killed (status " + std::to_string(status) + ")";
    }
    stop = true;
    for (auto &t : clients)
        t.join();

    result.savesAttempted = attempted;
    result.savesAcknowledged = acknowledged;
    result.updatesAcknowledged = updates;
    result.integrity = onSqlite ? IntegrityCheck(db) : "ok";

    // The service's own storage reads the records back, as a restarted service would.
    std::map<std::string, lumora::service::StoredRecord> stored;
    try {
        const auto storage = lumora::service::OpenStorage(db, 1);
        auto page = storage->newestRecords(accountId, std::nullopt, 0, INT_MAX);
        if (page.total != std::int64_t(page.records.size()))
            result.integrity =
                "kept record count " + std::to_string(page.total) + ", rows " + std::to_string(page.records.size());
        for (auto &record : page.records)
            stored.emplace(record.fields.idGuid, record);
    } catch (const std::exception &e) {
        if (result.error.empty())
            result.error = std::string("cannot read the database: ") + e.what();
    }

    for (const auto &[guid, record] : ledger.records) {
        // The newest acknowledged version, or any sent after it, may be stored: a save cut off by the kill may
        // have reached the disk without its answer reaching the client.
        int lastAck = -1;
        for (size_t i = 0; i < record.versions.size(); ++i)
            if (record.versions[i].acknowledged)
                lastAck = int(i);
        if (lastAck < 0)
            continue;
        ++result.recordsChecked;
        const auto found = stored.find(guid);
        bool intact = found != stored.end() && found->second.fields.name1 == record.name &&
                      found->second.fields.createTime == record.createTime &&
                      found->second.fields.type1 == "\xE9\xA4\x90\xE9\xA5\xAE" && found->second.fields.in1 == "0";
        if (intact) {
            bool moneyMatches = false;
            for (size_t i = size_t(lastAck); i < record.versions.size(); ++i)
                moneyMatches = moneyMatches || found->second.fields.money1 == record.versions[i].money;
            intact = moneyMatches;
        }
        if (!intact) {
            ++result.acknowledgedLost;
            if (result.error.empty())
                result.error = "acknowledged save lost or changed: " + guid;
        }
    }
    if (result.error.empty() && result.integrity != "ok")
        result.error = "integrity_check: " + result.integrity;

    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    result.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    result.ok = result.error.empty();
    return result;
}

} // namespace lumora::crash
