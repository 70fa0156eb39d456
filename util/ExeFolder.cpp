#include "ExeFolder.h"

#include <QCoreApplication>

namespace lumora {

namespace {
QString g_folder;
}

QString ExeFolder()
{
    if (g_folder.isEmpty())
        SetExeFolder(QCoreApplication::applicationDirPath());
    return g_folder;
}

void SetExeFolder(const QString &folder)
{
    g_folder = folder;
    if (!g_folder.endsWith(QLatin1Char('/')))
        g_folder += QLatin1Char('/');
}

} // namespace lumora
