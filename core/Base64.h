#pragma once

#include <QByteArray>

namespace lumora {

// RFC 4648 in one line; the empty byte string gives the empty text.
QByteArray Base64EncodeLine(const QByteArray &bytes);
// Skips every character outside the alphabet and "=" (line breaks, blanks), then decodes groups of four.
QByteArray Base64Decode(const QByteArray &text);

} // namespace lumora
