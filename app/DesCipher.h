#pragma once

#include <QByteArray>

namespace lumora
{

// DES of FIPS 46-3 in ECB mode over byte strings. The key is the key text's first 8 bytes, padded with 0x00;
// the plaintext is padded with 0x00 to a multiple of 8.
// Throws LumoraError("Error: the last char is NULL char.") when the plaintext ends in 0x00.
QByteArray DesEncryptString(const QByteArray &plain, const QByteArray &key);
// Deciphers every whole block, then removes every trailing 0x00 byte.
QByteArray DesDecryptString(const QByteArray &cipher, const QByteArray &key);

} // namespace lumora
