// DesDecryptString of any cipher text under any key, and the round trip of plaintexts that may be enciphered.
#include "app/DesCipher.h"
#include "core/Reply.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte tells how many of the following bytes make the key text (up to 12, past the 8 that count).
    const size_t keyLength = std::min<size_t>(data[0] % 13, size - 1);
    const QByteArray key(reinterpret_cast<const char *>(data + 1), qsizetype(keyLength));
    const QByteArray text(reinterpret_cast<const char *>(data + 1 + keyLength), qsizetype(size - 1 - keyLength));

    const QByteArray plain = lumora::DesDecryptString(text, key);
    if (plain.endsWith('\0') || plain.size() > text.size())
        std::abort();

    try {
        const QByteArray cipher = lumora::DesEncryptString(text, key);
        if (cipher.size() % 8 != 0 || lumora::DesDecryptString(cipher, key) != text)
            std::abort();
    } catch (const lumora::LumoraError &) {
        if (!text.endsWith('\0'))
            std::abort();
    }
    return 0;
}
