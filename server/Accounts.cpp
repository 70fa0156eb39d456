#include "Accounts.h"

#include "GbkText.h"

#include <sodium.h>

#include <algorithm>
#include <stdexcept>

namespace lumora::service
{

namespace
{

int Utf8Length(const std::string &text)
{
    int count = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

bool HasControl(const std::string &text)
{
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

std::chrono::milliseconds TickPeriod(const SignInLimits &limits)
{
    return std::clamp(limits.throttle.window / 4, std::chrono::milliseconds(10), std::chrono::milliseconds(1000));
}

} // namespace

Accounts::Accounts(Storage &storage, PasswordCost cost, SignInLimits limits, ReportSink report)
    : storage_(storage), cost_(cost), throttle_(limits.throttle), verifier_(std::move(limits.verify)),
      report_(std::move(report)),
      queue_(
          limits.hashingThreads, limits.hashingQueue, [this] { tick(); }, TickPeriod(limits))
{
}

std::string Accounts::DefaultCategories()
{
    return "餐饮\r\n交通\r\n购物\r\n日用\r\n住房\r\n水电煤\r\n通讯\r\n医疗\r\n教育\r\n娱乐\r\n人情\r\n工资\r\n奖金\r\n"
           "理财\r\n其他";
}

std::string Accounts::hash(const std::string &password) const
{
    const bool minimal = cost_ == PasswordCost::Minimal;
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(),
                          minimal ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          minimal ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw std::runtime_error("out of memory while hashing a password");
    return hash;
}

bool Accounts::verify(const std::string &hash, const std::string &password) const
{
    if (verifier_)
        return verifier_(hash, password);
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

Accounts::CheckResult Accounts::check(const std::string &name, const std::string &password, const std::string &address)
{
    if (name.empty() || password.size() > kMaxPasswordBytes)
        return {};
    // The stored hash is read every time and is part of the cache key, so a password changed by any process
    // sharing the database ends the old pair's entry at once.
    const auto account = storage_.findAccount(name);
    // A pair verified lately passes whatever else goes on, so a household stays signed in through any flood.
    if (account && cache_.lookup(name, password, account->passwordHash))
        return {Check::Verified, account->id};
    if (!throttle_.admit(name, address)) {
        ++throttled_;
        return {Check::Throttled};
    }
    using Result = SignInThrottle::Result;
    Result result = Result::NotChecked;
    struct Finish {
        SignInThrottle &throttle;
        const std::string &name;
        const std::string &address;
        const Result &result;
        ~Finish() { throttle.finished(name, address, result); }
    } finish{throttle_, name, address, result};

    if (!account)
        return {};
    const auto matches = queue_.run([&] {
        ++passwordChecks_;
        return verify(account->passwordHash, password);
    });
    if (!matches) {
        ++busy_;
        return {Check::Busy};
    }
    if (!*matches) {
        result = Result::Failed;
        return {};
    }
    result = Result::Succeeded;
    cache_.remember(name, password, account->passwordHash, account->id);
    return {Check::Verified, account->id};
}

std::optional<CredentialCache::Known> Accounts::recall(const std::string &name, const std::string &password)
{
    if (name.empty() || password.size() > kMaxPasswordBytes)
        return std::nullopt;
    return cache_.recall(name, password);
}

std::optional<std::int64_t> Accounts::authenticate(const std::string &name, const std::string &password,
                                                   const std::string &address)
{
    const CheckResult result = check(name, password, address);
    if (result.check != Check::Verified)
        return std::nullopt;
    return result.account;
}

Accounts::Counts Accounts::counts()
{
    return {passwordChecks_.load(), throttled_.load(), busy_.load(), queue_.waiting()};
}

void Accounts::tick()
{
    const auto ended = throttle_.sweep();
    // A run of full-queue refusals is reported once it has stopped growing.
    const std::uint64_t busy = busy_.load();
    const bool busyRunEnded = busy == busySeen_ && busy > busyReported_;
    busySeen_ = busy;
    if (!report_)
        return;
    for (const auto &burst : ended)
        report_(RefusalReport{burst.account, burst.address, burst.attempts, false});
    if (busyRunEnded) {
        report_(RefusalReport{{}, {}, static_cast<std::int64_t>(busy - busyReported_), true});
        busyReported_ = busy;
    }
}

Accounts::Outcome Accounts::create(const std::string &name, const std::string &password)
{
    if (name.empty())
        return Outcome::NameEmpty;
    if (Utf8Length(name) > kMaxNameChars)
        return Outcome::NameTooLong;
    // The client sends names as GBK, so a name without a GBK form could never sign in.
    if (HasControl(name) || !Utf8ToGbk(name))
        return Outcome::NameInvalid;
    if (password.empty())
        return Outcome::PasswordEmpty;
    if (password.size() > kMaxPasswordBytes)
        return Outcome::PasswordTooLong;
    if (!Utf8ToGbk(password))
        return Outcome::PasswordInvalid;
    // A taken name costs no hashing; creating the account below still decides a race.
    if (storage_.findAccount(name))
        return Outcome::NameTaken;
    std::string passwordHash;
    if (!queue_.run([&] {
            passwordHash = hash(password);
            return true;
        }))
        return Outcome::Busy;
    return storage_.createAccount(name, passwordHash, DefaultCategories()) == CreateOutcome::Created
               ? Outcome::Created
               : Outcome::NameTaken;
}

std::int64_t Accounts::ensure(const std::string &name, const std::string &password)
{
    if (const auto existing = storage_.findAccount(name)) {
        if (crypto_pwhash_str_verify(existing->passwordHash.c_str(), password.data(), password.size()) != 0)
            storage_.setPasswordHash(existing->id, hash(password));
        cache_.clear();
        return existing->id;
    }
    if (create(name, password) != Outcome::Created)
        throw std::runtime_error("cannot create the account " + name);
    return storage_.findAccount(name)->id;
}

} // namespace lumora::service
