#include "OpenStorage.h"

#include "PgStorage.h"
#include "SqliteStorage.h"

namespace lumora::service
{

std::unique_ptr<Storage> OpenStorage(const std::string &db, size_t connections)
{
    if (PgStorage::IsConnectionUri(db))
        return std::make_unique<PgStorage>(db, connections);
    return std::make_unique<SqliteStorage>(db);
}

} // namespace lumora::service
