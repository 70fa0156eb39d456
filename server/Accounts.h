#pragma once

#include "CredentialCache.h"
#include "HashingQueue.h"
#include "SignInThrottle.h"
#include "Storage.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace lumora::service
{

enum class PasswordCost { Interactive, Minimal };

struct SignInLimits {
    size_t hashingThreads = 0; // 0: half the cores, at least one
    size_t hashingQueue = 0;   // checks that may wait for a hashing thread; 0: four per thread
    SignInThrottle::Limits throttle;
    // Stands in for argon2id's verify when set (tests give the checks a known cost through it).
    std::function<bool(const std::string &hash, const std::string &password)> verify;
};

// Attempts refused without a password check, reported once per run: a throttled burst of one account and
// address, or checks turned away while the hashing queue was full (account and address empty).
struct RefusalReport {
    std::string account;
    std::string address;
    std::int64_t attempts = 0;
    bool queueFull = false;
};

// Names and passwords are UTF-8.
class Accounts
{
public:
    enum class Outcome {
        Created,
        NameTaken,
        NameEmpty,
        NameTooLong,
        NameInvalid,
        PasswordEmpty,
        PasswordTooLong,
        PasswordInvalid,
        Busy
    };
    enum class Check { Verified, Wrong, Throttled, Busy };
    struct CheckResult {
        Check check = Check::Wrong;
        std::int64_t account = 0;
    };
    struct Counts {
        std::uint64_t passwordChecks = 0; // argon2id verifications run for requests
        std::uint64_t throttled = 0;
        std::uint64_t busy = 0;
        size_t waiting = 0; // checks in the hashing queue now
    };
    using ReportSink = std::function<void(const RefusalReport &)>;

    static constexpr int kMaxNameChars = 32;
    static constexpr int kMaxPasswordBytes = 128;

    explicit Accounts(Storage &storage, PasswordCost cost = PasswordCost::Interactive, SignInLimits limits = {},
                      ReportSink report = {});

    // address is the client's, for throttling failures; a Wrong, Throttled and Busy answer look alike to clients.
    CheckResult check(const std::string &name, const std::string &password, const std::string &address);
    // A pair verified lately, read from memory alone: the caller must confirm that the account's stored hash is
    // still the one given before it acts for the account, and run check() when it is not.
    std::optional<CredentialCache::Known> recall(const std::string &name, const std::string &password);
    // The account id when the pair is right.
    std::optional<std::int64_t> authenticate(const std::string &name, const std::string &password,
                                             const std::string &address = {});
    Outcome create(const std::string &name, const std::string &password);
    // Creates the account, or resets its password when it exists; returns its id.
    std::int64_t ensure(const std::string &name, const std::string &password);

    static std::string DefaultCategories();

    Counts counts();
    // Request threads that can be waiting for a hashing thread at most.
    size_t hashingSlots() const { return queue_.threads() + queue_.capacity(); }

private:
    std::string hash(const std::string &password) const;
    bool verify(const std::string &hash, const std::string &password) const;
    void tick();

    Storage &storage_;
    PasswordCost cost_;
    CredentialCache cache_;
    SignInThrottle throttle_;
    std::function<bool(const std::string &, const std::string &)> verifier_;
    ReportSink report_;
    std::atomic<std::uint64_t> passwordChecks_{0};
    std::atomic<std::uint64_t> throttled_{0};
    std::atomic<std::uint64_t> busy_{0};
    std::uint64_t busyReported_ = 0; // tick() only
    std::uint64_t busySeen_ = 0;     // tick() only
    // Last, so its threads stop before what they use goes.
    HashingQueue queue_;
};

} // namespace lumora::service
