#include "StartupFiles.h"

#include "util/ExeFolder.h"
#include "util/IniFile.h"

#include <memory>

namespace lumora
{

QString LedgerPath;

namespace
{
std::unique_ptr<IniFile> g_iniSettings;

const QString kSection = QStringLiteral("设置");
const QString kLedgerKey = QStringLiteral("数据库表名");
} // namespace

IniFile *IniSettings()
{
    return g_iniSettings.get();
}

QString DefaultLedgerPath()
{
    return ExeFolder() + QStringLiteral("账本/账本1.dbc");
}

QString ReadLedgerPath(IniFile &ini)
{
    const QString path = ini.readString(kSection, kLedgerKey, DefaultLedgerPath());
    ini.writeString(kSection, kLedgerKey, path); // a read-only folder only loses the write, not the start
    return path;
}

void OpenIniSettings()
{
    g_iniSettings = std::make_unique<IniFile>(ExeFolder() + QStringLiteral("sis1.ini"));
    LedgerPath = ReadLedgerPath(*g_iniSettings);
}

void CloseIniSettings()
{
    g_iniSettings.reset();
}

} // namespace lumora
