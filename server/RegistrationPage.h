#pragma once

#include "Accounts.h"

#include <string>

namespace lumora::service
{

// "new_user.php?vtype=app": the new-account page that the client shows in its embedded browser. UTF-8 HTML.
class RegistrationPage
{
public:
    explicit RegistrationPage(Accounts &accounts);

    std::string form() const;
    // Handles the submitted form (UTF-8 form body); outcome is a short word for the log.
    std::string submit(const std::string &body, std::string &account, std::string &outcome);

private:
    static std::string Page(const std::string &message, bool done, const std::string &name);

    Accounts &accounts_;
};

} // namespace lumora::service
