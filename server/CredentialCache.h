#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace lumora::service
{

// Remembers recently verified name and password pairs for a short while, so argon2 runs once a minute per
// signed-in client instead of on every request. Entries are keyed by a keyed hash (random key per process), so
// the memory holds no password. An entry keeps the stored hash the pair was verified against and only answers
// while the account still has that hash.
class CredentialCache
{
public:
    using Clock = std::chrono::steady_clock;

    struct Known {
        std::int64_t account = 0;
        std::string storedHash;
    };

    explicit CredentialCache(std::chrono::seconds lifetime = std::chrono::seconds(60));

    std::optional<std::int64_t> lookup(const std::string &name, const std::string &password,
                                       const std::string &storedHash);
    // The pair's entry whatever the account's hash is now; the caller must confirm storedHash is still current.
    std::optional<Known> recall(const std::string &name, const std::string &password);
    void remember(const std::string &name, const std::string &password, const std::string &storedHash,
                  std::int64_t account);
    void clear();

private:
    std::string key(const std::string &name, const std::string &password) const;

    struct Entry {
        Known known;
        Clock::time_point expires;
    };
    std::chrono::seconds lifetime_;
    unsigned char secret_[32];
    std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;
};

} // namespace lumora::service
