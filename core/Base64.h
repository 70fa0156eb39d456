#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace lumora
{

// RFC 4648 in one line; the empty byte string gives the empty text.
QByteArray Base64EncodeLine(const QByteArray &bytes);
// Skips every character outside the alphabet and "=" (line breaks, blanks), then decodes groups of four.
QByteArray Base64Decode(const QByteArray &text);

// The same decoding into a buffer of at least Base64DecodedBound(text.size()) bytes; returns the bytes written.
// Bytes outside ASCII (UTF-8 text among them) are skipped like any other character outside the alphabet.
constexpr qsizetype Base64DecodedBound(qsizetype textSize)
{
    return textSize / 4 * 3 + 3;
}
qsizetype Base64DecodeInto(QByteArrayView text, char *out);

} // namespace lumora
