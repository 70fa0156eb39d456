#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace lumora::service
{

// Counts failed password checks per account name and client address. After freeFailures failures inside one
// window the pair is refused without a check until its block ends: one window at first, twice as long for each
// further block, up to window * 2^maxDoublings. A pair quiet for that longest block starts over. Other addresses
// of the same account are never affected, so a stranger cannot lock a household out.
class SignInThrottle
{
public:
    using Clock = std::chrono::steady_clock;

    struct Limits {
        int freeFailures = 5;
        std::chrono::milliseconds window = std::chrono::seconds(60);
        int maxDoublings = 4;
        size_t maxPairs = 100000;
    };

    // One block that has ended: every attempt of the pair from its first failure to the block's end.
    struct Burst {
        std::string account;
        std::string address;
        std::int64_t attempts = 0;
    };

    explicit SignInThrottle(Limits limits);

    // True when a check of the pair may go ahead; it is then in flight until finished() is called for it.
    // False counts a refused attempt of the block.
    bool admit(const std::string &account, const std::string &address, Clock::time_point now = Clock::now());
    enum class Result { Failed, Succeeded, NotChecked };
    void finished(const std::string &account, const std::string &address, Result result,
                  Clock::time_point now = Clock::now());

    // The bursts whose blocks ended since the last call, each once; forgets pairs quiet for long.
    std::vector<Burst> sweep(Clock::time_point now = Clock::now());

    const Limits &limits() const { return limits_; }

private:
    struct Pair {
        int failures = 0;      // inside the current window
        int inFlight = 0;      // admitted, not yet finished
        int earlyRefusals = 0; // refused while the window's last checks were in flight
        int doublings = 0;     // of the next block
        Clock::time_point windowStart;
        Clock::time_point lastEvent;
        Clock::time_point blockedUntil;
        std::int64_t burstAttempts = 0; // of the current or last block, until swept
        bool burstOpen = false;
    };
    using Key = std::pair<std::string, std::string>;

    std::chrono::milliseconds longestBlock() const;
    void makeRoom(Clock::time_point now);

    Limits limits_;
    std::mutex mutex_;
    std::map<Key, Pair> pairs_;
};

} // namespace lumora::service
