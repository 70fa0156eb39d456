#include "ModuleLoader.h"

#include <QCoreApplication>
#include <QHash>
#include <QPluginLoader>
#include <QStringList>

namespace lumora
{

namespace
{
QHash<QString, QString> &PathOverrides()
{
    static QHash<QString, QString> paths;
    return paths;
}

QStringList Candidates(const QString &name)
{
    const QString path = PathOverrides().value(name);
    if (!path.isEmpty())
        return {path};
    const QString exeDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    return {exeDir + name, exeDir + QStringLiteral(LUMORA_MODULE_DIR "/") + name};
}
} // namespace

QObject *LoadModule(const QString &name)
{
    struct Loaded {
        QObject *instance = nullptr;
        QString from;
    };
    static QHash<QString, Loaded> loaded;
    const QStringList candidates = Candidates(name);
    Loaded &module = loaded[name];
    if (module.instance && candidates.contains(module.from))
        return module.instance;
    for (const QString &candidate : candidates) {
        QPluginLoader loader(candidate);
        if (QObject *instance = loader.instance()) {
            module = {instance, candidate};
            return instance;
        }
    }
    return nullptr;
}

void SetModulePath(const QString &name, const QString &path)
{
    PathOverrides().insert(name, path);
}

} // namespace lumora
