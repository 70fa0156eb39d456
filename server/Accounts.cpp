#include "Accounts.h"

#include "GbkText.h"

#include <sodium.h>

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

class HashSlot
{
public:
    explicit HashSlot(std::counting_semaphore<2> &semaphore) : semaphore_(semaphore) { semaphore_.acquire(); }
    ~HashSlot() { semaphore_.release(); }
    HashSlot(const HashSlot &) = delete;
    HashSlot &operator=(const HashSlot &) = delete;

private:
    std::counting_semaphore<2> &semaphore_;
};

} // namespace

Accounts::Accounts(Storage &storage, PasswordCost cost) : storage_(storage), cost_(cost) {}

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

std::optional<std::int64_t> Accounts::authenticate(const std::string &name, const std::string &password)
{
    if (name.empty() || password.size() > kMaxPasswordBytes)
        return std::nullopt;
    // The stored hash is read every time and is part of the cache key, so a password changed by any process
    // sharing the database ends the old pair's entry at once.
    const auto account = storage_.findAccount(name);
    if (!account)
        return std::nullopt;
    if (cache_.lookup(name, password, account->passwordHash))
        return account->id;
    {
        HashSlot slot(hashing_);
        if (crypto_pwhash_str_verify(account->passwordHash.c_str(), password.data(), password.size()) != 0)
            return std::nullopt;
    }
    cache_.remember(name, password, account->passwordHash, account->id);
    return account->id;
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
    std::string passwordHash;
    {
        HashSlot slot(hashing_);
        passwordHash = hash(password);
    }
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
