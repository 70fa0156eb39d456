#pragma once

#include "CredentialCache.h"
#include "Storage.h"

#include <cstdint>
#include <optional>
#include <semaphore>
#include <string>

namespace lumora::service
{

enum class PasswordCost { Interactive, Minimal };

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
        PasswordInvalid
    };

    static constexpr int kMaxNameChars = 32;
    static constexpr int kMaxPasswordBytes = 128;

    explicit Accounts(Storage &storage, PasswordCost cost = PasswordCost::Interactive);

    // The account id when the pair is right.
    std::optional<std::int64_t> authenticate(const std::string &name, const std::string &password);
    Outcome create(const std::string &name, const std::string &password);
    // Creates the account, or resets its password when it exists; returns its id.
    std::int64_t ensure(const std::string &name, const std::string &password);

    static std::string DefaultCategories();

private:
    std::string hash(const std::string &password) const;

    Storage &storage_;
    PasswordCost cost_;
    CredentialCache cache_;
    // argon2id takes 64 MiB per check: a burst of wrong passwords must not take all the memory at once.
    std::counting_semaphore<2> hashing_{2};
};

} // namespace lumora::service
