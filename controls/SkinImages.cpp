#include "SkinImages.h"

#include <QDir>

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
    initSkinResources();
    return QImage(QStringLiteral(":/skin/") + name + QStringLiteral(".png"));
}

} // namespace lumora
