#pragma once

#include <QString>

namespace lumora
{

class IniFile;

// sis1.ini in the executable's folder, open for the whole run once OpenIniSettings has run.
IniFile *IniSettings();
// The local ledger file kept in sis1.ini; opened by nothing yet, but read and written back at every start.
extern QString LedgerPath;

// ExeFolder() + "账本/账本1.dbc".
QString DefaultLedgerPath();
// Reads section "设置", key "数据库表名" with the default ledger path and writes the value back at once, so the key
// exists after the first start.
QString ReadLedgerPath(IniFile &ini);

// Opens IniSettings and fills LedgerPath.
void OpenIniSettings();
// Frees IniSettings (the main window's destruction).
void CloseIniSettings();

} // namespace lumora
