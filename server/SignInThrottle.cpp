#include "SignInThrottle.h"

#include <algorithm>

namespace lumora::service
{

SignInThrottle::SignInThrottle(Limits limits) : limits_(limits)
{
    limits_.freeFailures = std::max(1, limits_.freeFailures);
    limits_.maxDoublings = std::clamp(limits_.maxDoublings, 0, 20);
    limits_.window = std::max(limits_.window, std::chrono::milliseconds(1));
    limits_.maxPairs = std::max<size_t>(1, limits_.maxPairs);
}

std::chrono::milliseconds SignInThrottle::longestBlock() const
{
    return limits_.window * (std::int64_t{1} << limits_.maxDoublings);
}

bool SignInThrottle::admit(const std::string &account, const std::string &address, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    auto it = pairs_.find(Key(account, address));
    if (it == pairs_.end()) {
        makeRoom(now);
        it = pairs_.emplace(Key(account, address), Pair{}).first;
        it->second.windowStart = now;
    }
    Pair &pair = it->second;
    pair.lastEvent = now;
    if (now < pair.blockedUntil) {
        ++pair.burstAttempts;
        return false;
    }
    if (now - pair.windowStart >= limits_.window) {
        pair.windowStart = now;
        pair.failures = 0;
        pair.earlyRefusals = 0;
    }
    // Checks already in flight count as failures to come, so parallel connections cannot pass the limit.
    if (pair.failures + pair.inFlight >= limits_.freeFailures) {
        ++pair.earlyRefusals;
        return false;
    }
    ++pair.inFlight;
    return true;
}

void SignInThrottle::finished(const std::string &account, const std::string &address, Result result,
                              Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    const auto it = pairs_.find(Key(account, address));
    if (it == pairs_.end())
        return;
    Pair &pair = it->second;
    pair.inFlight = std::max(0, pair.inFlight - 1);
    pair.lastEvent = now;
    switch (result) {
    case Result::Succeeded:
        if (!pair.burstOpen) {
            pairs_.erase(it);
            return;
        }
        // The burst is still reported; the block and its back-off go.
        pair.failures = 0;
        pair.earlyRefusals = 0;
        pair.doublings = 0;
        pair.blockedUntil = now;
        return;
    case Result::NotChecked:
        if (pair.failures == 0 && pair.inFlight == 0 && pair.doublings == 0 && !pair.burstOpen)
            pairs_.erase(it);
        return;
    case Result::Failed:
        break;
    }
    if (now - pair.windowStart >= limits_.window) {
        pair.windowStart = now;
        pair.failures = 0;
        pair.earlyRefusals = 0;
    }
    ++pair.failures;
    if (pair.failures < limits_.freeFailures)
        return;
    pair.blockedUntil = now + limits_.window * (std::int64_t{1} << pair.doublings);
    pair.doublings = std::min(pair.doublings + 1, limits_.maxDoublings);
    if (!pair.burstOpen) {
        pair.burstOpen = true;
        pair.burstAttempts = 0;
    }
    pair.burstAttempts += pair.failures + pair.earlyRefusals;
    pair.failures = 0;
    pair.earlyRefusals = 0;
}

std::vector<SignInThrottle::Burst> SignInThrottle::sweep(Clock::time_point now)
{
    std::vector<Burst> ended;
    std::lock_guard lock(mutex_);
    for (auto it = pairs_.begin(); it != pairs_.end();) {
        Pair &pair = it->second;
        if (pair.burstOpen && now >= pair.blockedUntil) {
            ended.push_back(Burst{it->first.first, it->first.second, pair.burstAttempts});
            pair.burstOpen = false;
            pair.burstAttempts = 0;
        }
        const bool quiet = pair.inFlight == 0 && now >= pair.blockedUntil && now - pair.lastEvent >= longestBlock();
        it = quiet ? pairs_.erase(it) : std::next(it);
    }
    return ended;
}

void SignInThrottle::makeRoom(Clock::time_point now)
{
    if (pairs_.size() < limits_.maxPairs)
        return;
    // Pairs that are not blocked go first; blocked ones are what the table is for.
    for (auto it = pairs_.begin(); it != pairs_.end();)
        it = it->second.inFlight == 0 && now >= it->second.blockedUntil ? pairs_.erase(it) : std::next(it);
    if (pairs_.size() >= limits_.maxPairs) {
        for (auto it = pairs_.begin(); it != pairs_.end();)
            it = it->second.inFlight == 0 ? pairs_.erase(it) : std::next(it);
    }
}

} // namespace lumora::service
