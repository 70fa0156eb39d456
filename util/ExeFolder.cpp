#include "ExeFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace lumora {

namespace {
QString g_folder;

QString withSlash(QString folder)
{
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
} // namespace

QString LocalFilesFolder(const QString &exeDir, const QString &dataDir)
{
    const QFileInfo exe(exeDir);
    if (exe.isDir() && exe.isWritable())
        return withSlash(exeDir);
    if (dataDir.isEmpty() || !QDir().mkpath(dataDir))
        return QString();
    return withSlash(dataDir);
}

QString ExeFolder()
{
    if (g_folder.isEmpty()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        const QString folder =
            LocalFilesFolder(exeDir, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        // Neither usable: reads still find what was installed beside the executable.
        SetExeFolder(folder.isEmpty() ? exeDir : folder);
    }
    return g_folder;
}

void SetExeFolder(const QString &folder)
{
    g_folder = withSlash(folder);
}

} // namespace lumora
