#pragma once

#include <QImage>
#include <QString>

namespace lumora
{

// The skin's pictures, compiled in; name as in resources/skin without ".png" (e.g. "caption_close_normal").
// An unknown name gives an empty image. Only for the user-interface thread.
QImage SkinImage(const QString &name);

} // namespace lumora
