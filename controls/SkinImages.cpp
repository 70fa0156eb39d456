#include "SkinImages.h"

#include <QDir>
#include <QHash>

// Outside any namespace, as Q_INIT_RESOURCE wants; calling it makes the linker keep the compiled-in pictures of
// this static library.
static void initSkinResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(done);
}

namespace lumora
{

QImage SkinImage(const QString &name)
{
    // The windows and the 31 record lines ask for the same few pictures again and again; each is decoded once and
    // then shared (a caller that paints into its copy gets its own).
    static QHash<QString, QImage> decoded;
    auto it = decoded.constFind(name);
    if (it == decoded.constEnd()) {
        initSkinResources();
        it = decoded.insert(name, QImage(QStringLiteral(":/skin/") + name + QStringLiteral(".png")));
    }
    return *it;
}

} // namespace lumora
