#include "CredentialCache.h"

#include <sodium.h>

#include <stdexcept>

namespace lumora::service
{

namespace
{
constexpr size_t kMaxEntries = 10000;
}

CredentialCache::CredentialCache(std::chrono::seconds lifetime) : lifetime_(lifetime)
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot start");
    randombytes_buf(secret_, sizeof secret_);
}

std::string CredentialCache::key(const std::string &name, const std::string &password) const
{
    // The length goes first, so ("ab", "c") and ("a", "bc") hash apart.
    crypto_generichash_state state;
    crypto_generichash_init(&state, secret_, sizeof secret_, crypto_generichash_BYTES);
    const std::uint64_t length = name.size();
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char *>(&length), sizeof length);
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char *>(name.data()), name.size());
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char *>(password.data()), password.size());
    std::string digest(crypto_generichash_BYTES, '\0');
    crypto_generichash_final(&state, reinterpret_cast<unsigned char *>(digest.data()), digest.size());
    return digest;
}

std::optional<std::int64_t> CredentialCache::lookup(const std::string &name, const std::string &password,
                                                    const std::string &storedHash)
{
    const auto known = recall(name, password);
    if (!known || known->storedHash != storedHash)
        return std::nullopt;
    return known->account;
}

std::optional<CredentialCache::Known> CredentialCache::recall(const std::string &name, const std::string &password)
{
    const std::string k = key(name, password);
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(k);
    if (it == entries_.end())
        return std::nullopt;
    if (it->second.expires <= Clock::now()) {
        entries_.erase(it);
        return std::nullopt;
    }
    return it->second.known;
}

void CredentialCache::remember(const std::string &name, const std::string &password, const std::string &storedHash,
                               std::int64_t account)
{
    const std::string k = key(name, password);
    const auto now = Clock::now();
    std::lock_guard lock(mutex_);
    if (entries_.size() >= kMaxEntries) {
        for (auto it = entries_.begin(); it != entries_.end();)
            it = it->second.expires <= now ? entries_.erase(it) : std::next(it);
        if (entries_.size() >= kMaxEntries)
            entries_.clear();
    }
    entries_[k] = Entry{Known{account, storedHash}, now + lifetime_};
}

void CredentialCache::clear()
{
    std::lock_guard lock(mutex_);
    entries_.clear();
}

} // namespace lumora::service
