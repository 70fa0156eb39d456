#pragma once

#include "Accounts.h"
#include "Storage.h"

namespace lumora::service
{

// Makes sure the account "demo" / "demo" exists with the default categories and, when it has no records yet,
// about 300 sample records over the last three months. Returns the number of records added.
int EnsureDemoAccount(Storage &storage, Accounts &accounts);

} // namespace lumora::service
