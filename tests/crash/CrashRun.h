#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace lumora::crash
{

// Saves from several clients while the service is killed with SIGKILL at random moments and restarted on the same
// database; then every save that was answered Value "1" is looked up in the database.
struct CrashRunOptions {
    std::string serviceBinary;
    std::string database; // what the service takes as --db; empty: a SQLite file of the run's own
    // When set, one service runs throughout and, instead of each kill, this takes the database server down
    // abruptly and up again (true when it came back).
    std::function<bool()> restartDatabase;
    int kills = 20;
    int clients = 4;
    int minUpMs = 30;  // the service runs this long at least before a kill
    int maxUpMs = 300; // and this long at most
    std::uint32_t seed = 1;
};

struct CrashRunResult {
    bool ok = false;
    std::string error; // first thing that went wrong, empty when ok
    int killsSurvived = 0;
    std::int64_t savesAttempted = 0;
    std::int64_t savesAcknowledged = 0;
    std::int64_t updatesAcknowledged = 0; // part of savesAcknowledged: changes of an existing record
    std::int64_t recordsChecked = 0;
    std::int64_t acknowledgedLost = 0; // acknowledged and missing or not as acknowledged
    std::string integrity; // "ok": PRAGMA integrity_check on SQLite, and the kept record count matches the rows
    double seconds = 0;
};

CrashRunResult RunCrashSafety(const CrashRunOptions &options);

} // namespace lumora::crash
