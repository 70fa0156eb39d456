#pragma once

#include "Accounts.h"
#include "Storage.h"
#include "XmlReply.h"

#include <optional>
#include <string>

namespace lumora::service
{

class FormBody;

struct ServiceOptions {
    // Minimal is for tests only: it keeps argon2id but at its lowest cost.
    PasswordCost passwordCost = PasswordCost::Interactive;
    std::string version = "2015.01.29.1";
    std::string versionInfo = "发现新版本,请到官网下载最新的软件版本.";
    SignInLimits signIn;
};

// What one request did, for the reply and the request log.
struct RouteResult {
    std::string body;
    std::string action;
    std::string account; // the user_name sent, UTF-8
    std::string outcome = "ok";
    bool denied = false; // the account's password was not accepted
    bool quiet = false;  // refused without a password check: reported per burst, not per request
};

// The bookkeeping scripts, independent of the HTTP server: a POST body in, an XML reply out.
class Routes
{
public:
    static constexpr int kNewestPageSize = 50;
    static constexpr int kPeriodPageSize = 1000;
    static constexpr int kMonthTotalRows = 12;

    Routes(Storage &storage, Accounts &accounts, ServiceOptions options);

    static bool IsKnownScript(const std::string &script);
    // address is the client's, for throttling failed sign-ins.
    RouteResult post(const std::string &script, const std::string &body, const std::string &address = {});

private:
    XmlReply login(const FormBody &form, std::int64_t account, RouteResult &result);
    XmlReply categories(const FormBody &form, std::int64_t account, RouteResult &result);
    XmlReply records(const FormBody &form, std::int64_t account, RouteResult &result);
    XmlReply lock(const FormBody &form, std::int64_t account, RouteResult &result);

    XmlReply query(const FormBody &form, std::int64_t account, RouteResult &result);
    // The newest-records page for a pair verified lately, when the storage confirms the pair's stored hash in
    // the page's own read (one round trip instead of two); nothing when that does not apply or the hash changed.
    std::optional<XmlReply> rememberedNewestPage(const FormBody &form);
    XmlReply save(const FormBody &form, std::int64_t account, RouteResult &result);
    XmlReply remove(const FormBody &form, std::int64_t account, RouteResult &result);
    XmlReply recount(const FormBody &form, std::int64_t account, RouteResult &result);

    Storage &storage_;
    Accounts &accounts_;
    ServiceOptions options_;
};

} // namespace lumora::service
