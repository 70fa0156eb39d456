#include "SkinImages.h"

#include "SkinPixels.h"

#include <QHash>

namespace lumora
{

QImage SkinImage(const QString &name)
{
    // The windows and the 31 record lines ask for the same few pictures again and again. Each image wraps its
    // compiled-in pixels without a copy and is then shared; a caller that paints into its copy gets its own.
    static QHash<QString, QImage> images;
    auto it = images.constFind(name);
    if (it == images.constEnd()) {
        QImage image;
        for (int i = 0; i < kSkinPixelCount; ++i) {
            const SkinPixels &p = kSkinPixels[i];
            if (name == QLatin1String(p.name)) {
                image = QImage(p.data, p.width, p.height, p.bytesPerLine, QImage::Format(p.format));
                break;
            }
        }
        it = images.insert(name, image);
    }
    return *it;
}

} // namespace lumora
