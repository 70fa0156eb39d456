// The service's request dispatcher in-process, over a database of its own: the first byte picks the script, the
// rest is the POST body.
#include "server/Accounts.h"
#include "server/Routes.h"
#include "server/SqliteStorage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{

using namespace lumora::service;

struct Fixture {
    std::filesystem::path dir;
    std::unique_ptr<SqliteStorage> storage;
    std::unique_ptr<Accounts> accounts;
    std::unique_ptr<Routes> routes;

    Fixture()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumora-fuzz-routes-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        dir = pattern;
        storage = std::make_unique<SqliteStorage>((dir / "ledger.sqlite").string());
        accounts = std::make_unique<Accounts>(*storage, PasswordCost::Minimal);
        accounts->ensure("fuzz", "pw");
        accounts->ensure("other", "pw");
        ServiceOptions options;
        options.passwordCost = PasswordCost::Minimal;
        routes = std::make_unique<Routes>(*storage, *accounts, options);
    }
    ~Fixture()
    {
        routes.reset();
        accounts.reset();
        storage.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
};

Fixture &TheFixture()
{
    static Fixture fixture;
    return fixture;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const char *const scripts[] = {"kessum_sqlite_post.php",
                                          "kessum_sqlite_type.php",
                                          "kessum_sqlite_lock.php",
                                          "kessum_login.php",
                                          "new_ver.php",
                                          "other.php"};
    if (size == 0)
        return 0;
    const std::string script = scripts[data[0] % std::size(scripts)];
    const std::string body(reinterpret_cast<const char *>(data + 1), size - 1);
    const RouteResult result = TheFixture().routes->post(script, body);
    // Every request is answered with an XML reply, however broken the body.
    if (result.body.find("<Result") == std::string::npos)
        std::abort();
    return 0;
}
