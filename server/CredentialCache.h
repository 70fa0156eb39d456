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
// the memory holds no password. The stored hash the pair was verified against is part of the key: an entry only
// answers while the account still has that hash.
class CredentialCache
{
public:
    using Clock = std::chrono::steady_clock;

    explicit CredentialCache(std::chrono::seconds lifetime = std::chrono::seconds(60));

    std::optional<std::int64_t> lookup(const std::string &name, const std::string &password,
                                       const std::string &storedHash);
    void remember(const std::string &name, const std::string &password, const std::string &storedHash,
                  std::int64_t account);
    void clear();

private:
    std::string key(const std::string &name, const std::string &password, const std::string &storedHash) const;

    struct Entry {
        std::int64_t account;
        Clock::time_point expires;
    };
    std::chrono::seconds lifetime_;
    unsigned char secret_[32];
    std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;
};

} // namespace lumora::service
