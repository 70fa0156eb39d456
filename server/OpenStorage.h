#pragma once

#include "Storage.h"

#include <memory>
#include <string>

namespace lumora::service
{

// The engine the database argument names: a postgresql:// (or postgres://) URI opens PostgreSQL with a pool of
// at most connections connections; anything else is the path of a SQLite file. Throws when it cannot open.
std::unique_ptr<Storage> OpenStorage(const std::string &db, size_t connections);

} // namespace lumora::service
