#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lumora {

// All text on the wire and in the local files is GBK (code page 936).
QByteArray ToGbk(const QString &text);
QString FromGbk(QByteArrayView bytes);

} // namespace lumora
