// bench_crash_safety [KILLS] [CLIENTS] [SEED] [DB]: saves from several clients while the service is killed with
// SIGKILL KILLS times (200 by default) and restarted on the same database (a SQLite file of its own, or DB, e.g. a
// postgresql:// URI of an empty database); prints what was checked. Exit 1 on any loss.
#include "CrashRun.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    lumora::crash::CrashRunOptions options;
    options.serviceBinary = LUMORA_SERVICE_BINARY;
    options.kills = argc > 1 ? std::atoi(argv[1]) : 200;
    options.clients = argc > 2 ? std::atoi(argv[2]) : 8;
    options.seed = argc > 3 ? std::uint32_t(std::strtoul(argv[3], nullptr, 10)) : 1;
    options.database = argc > 4 ? argv[4] : "";
    options.maxUpMs = 500;

    const auto r = lumora::crash::RunCrashSafety(options);
    std::printf("kills survived:        %d of %d\n", r.killsSurvived, options.kills);
    std::printf("clients:               %d\n", options.clients);
    std::printf("saves sent:            %lld\n", static_cast<long long>(r.savesAttempted));
    std::printf("saves acknowledged:    %lld (of them updates: %lld)\n", static_cast<long long>(r.savesAcknowledged),
                static_cast<long long>(r.updatesAcknowledged));
    std::printf("records checked:       %lld\n", static_cast<long long>(r.recordsChecked));
    std::printf("acknowledged lost:     %lld\n", static_cast<long long>(r.acknowledgedLost));
    std::printf("integrity_check:       %s\n", r.integrity.c_str());
    std::printf("seconds:               %.1f\n", r.seconds);
    if (!r.ok)
        std::printf("FAILED: %s\n", r.error.c_str());
    return r.ok ? 0 : 1;
}
