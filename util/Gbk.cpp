#include "Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace lumora {

namespace
{
// GBK keeps ASCII as it is, and most of a reply (Base64 values, tags) is ASCII: such text skips the converter.
template <typename Char> bool isAscii(const Char *data, qsizetype size)
{
    unsigned bits = 0;
    for (qsizetype i = 0; i < size; ++i)
        bits |= static_cast<unsigned>(data[i]);
    return bits < 0x80;
}
} // namespace

// Opening a converter is far dearer than converting a short attribute, so each thread keeps one of each.
QByteArray ToGbk(const QString &text)
{
    if (isAscii(text.utf16(), text.size()))
        return text.toLatin1();
    thread_local QStringEncoder encoder("GBK");
    encoder.resetState();
    return encoder.encode(text);
}

QString FromGbk(QByteArrayView bytes)
{
    if (isAscii(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size()))
        return QString::fromLatin1(bytes);
    thread_local QStringDecoder decoder("GBK");
    decoder.resetState();
    return decoder.decode(bytes);
}

} // namespace lumora
