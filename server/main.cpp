// lumora-service --listen HOST:PORT --db FILE [--demo] [--version V] [--version-info TEXT] [--threads N]
//                [--hashing-threads N] [--hashing-queue N] [--sign-in-failures N] [--sign-in-window SECONDS]
#include "server/DemoData.h"
#include "server/Service.h"
#include "server/SqliteStorage.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <pthread.h>
#include <string>
#include <thread>

using namespace lumora::service;

namespace
{

void Usage()
{
    std::fprintf(stderr, "usage: lumora-service --listen HOST:PORT --db FILE [--demo] [--version V] "
                         "[--version-info TEXT] [--threads N]\n"
                         "       [--hashing-threads N] [--hashing-queue N] [--sign-in-failures N] "
                         "[--sign-in-window SECONDS]\n");
}

} // namespace

int main(int argc, char **argv)
{
    std::string listen = "127.0.0.1:8086";
    std::string db;
    bool demo = false;
    size_t threads = 0;
    ServiceOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--listen" && hasValue)
            listen = argv[++i];
        else if (arg == "--db" && hasValue)
            db = argv[++i];
        else if (arg == "--demo")
            demo = true;
        else if (arg == "--version" && hasValue)
            options.version = argv[++i];
        else if (arg == "--version-info" && hasValue)
            options.versionInfo = argv[++i];
        else if (arg == "--threads" && hasValue)
            threads = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--hashing-threads" && hasValue)
            options.signIn.hashingThreads = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--hashing-queue" && hasValue)
            options.signIn.hashingQueue = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--sign-in-failures" && hasValue)
            options.signIn.throttle.freeFailures = std::atoi(argv[++i]);
        else if (arg == "--sign-in-window" && hasValue)
            options.signIn.throttle.window = std::chrono::seconds(std::max(1L, std::strtol(argv[++i], nullptr, 10)));
        else {
            Usage();
            return 2;
        }
    }
    const size_t colon = listen.rfind(':');
    if (db.empty() || colon == std::string::npos) {
        Usage();
        return 2;
    }
    const std::string host = listen.substr(0, colon);
    char *end = nullptr;
    const long port = std::strtol(listen.c_str() + colon + 1, &end, 10);
    if (*end != '\0' || port < 0 || port > 65535) {
        Usage();
        return 2;
    }

    // Signals are taken by sigwait below; blocked before any thread starts, so no pool thread receives them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // A client that hangs up mid-reply must not end the service.
    std::signal(SIGPIPE, SIG_IGN);

    try {
        SqliteStorage storage(db);
        Service service(storage, options, threads);
        if (demo) {
            const int added = EnsureDemoAccount(storage, service.accounts());
            std::fprintf(stderr, "demo account ready (%d sample records added)\n", added);
        }
        const int bound = service.bind(host, static_cast<int>(port));
        if (bound < 0) {
            std::fprintf(stderr, "cannot listen on %s\n", listen.c_str());
            return 1;
        }
        std::printf("listening on %s:%d\n", host.c_str(), bound);
        std::fflush(stdout);

        const pthread_t mainThread = pthread_self();
        bool served = true;
        std::thread server([&] {
            served = service.run();
            // The server ending on its own (it could not accept) must wake the main thread too.
            pthread_kill(mainThread, SIGTERM);
        });
        int received = 0;
        sigwait(&signals, &received);
        service.stop();
        server.join();
        std::fprintf(stderr, "stopped\n");
        return served ? 0 : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "lumora-service: %s\n", e.what());
        return 1;
    }
}
