#pragma once

#include <QByteArray>
#include <QStringView>

namespace lumora {

// RFC 4648 in one line; the empty byte string gives the empty text.
QByteArray Base64EncodeLine(const QByteArray &bytes);
// Skips every character outside the alphabet and "=" (line breaks, blanks), then decodes groups of four.
QByteArray Base64Decode(const QByteArray &text);

// The same decoding into a buffer of at least Base64DecodedBound(text.size()) bytes; returns the bytes written.
// Characters outside Latin-1 are skipped like any other outside the alphabet.
constexpr qsizetype Base64DecodedBound(qsizetype textSize)
{
    return textSize / 4 * 3 + 3;
}
qsizetype Base64DecodeInto(QStringView text, char *out);

} // namespace lumora
