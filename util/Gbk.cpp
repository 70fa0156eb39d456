#include "Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace lumora {

// Opening a converter is far dearer than converting a short attribute, so each thread keeps one of each.
QByteArray ToGbk(const QString &text)
{
    thread_local QStringEncoder encoder("GBK");
    encoder.resetState();
    return encoder.encode(text);
}

QString FromGbk(const QByteArray &bytes)
{
    thread_local QStringDecoder decoder("GBK");
    decoder.resetState();
    return decoder.decode(bytes);
}

} // namespace lumora
