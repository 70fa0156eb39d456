#include "Base64.h"

#include <array>

namespace lumora
{

namespace
{
// Value of each ASCII character in the alphabet; -2 for "=", -1 for characters to skip.
constexpr auto kSextets = [] {
    std::array<signed char, 128> table{};
    for (auto &v : table)
        v = -1;
    for (int i = 0; i < 26; ++i) {
        table['A' + i] = static_cast<signed char>(i);
        table['a' + i] = static_cast<signed char>(26 + i);
    }
    for (int i = 0; i < 10; ++i)
        table['0' + i] = static_cast<signed char>(52 + i);
    table['+'] = 62;
    table['/'] = 63;
    table['='] = -2;
    return table;
}();

int sextet(unsigned char c)
{
    return c < 128 ? kSextets[c] : -1;
}

// out has room for Base64DecodedBound(size) bytes; returns how many were written.
qsizetype decodeInto(const unsigned char *text, qsizetype size, char *out)
{
    char *const begin = out;
    int group[4];
    int count = 0;
    int pads = 0;
    auto flush = [&]() {
        // A group of 2 or 3 characters (or one ending in "=" / "==") gives 1 or 2 bytes.
        const int chars = count;
        if (chars >= 2)
            *out++ = char((group[0] << 2) | (group[1] >> 4));
        if (chars >= 3)
            *out++ = char(((group[1] & 0x0F) << 4) | (group[2] >> 2));
        if (chars >= 4)
            *out++ = char(((group[2] & 0x03) << 6) | group[3]);
        count = 0;
        pads = 0;
    };
    for (qsizetype i = 0; i < size; ++i) {
        // Whole groups of four alphabet characters, the usual case, in one step.
        while (count == 0 && pads == 0 && i + 4 <= size) {
            const int a = sextet(text[i]), b = sextet(text[i + 1]), c = sextet(text[i + 2]), d = sextet(text[i + 3]);
            if ((a | b | c | d) < 0)
                break;
            *out++ = char((a << 2) | (b >> 4));
            *out++ = char(((b & 0x0F) << 4) | (c >> 2));
            *out++ = char(((c & 0x03) << 6) | d);
            i += 4;
        }
        if (i >= size)
            break;
        const int v = sextet(text[i]);
        if (v == -1)
            continue;
        if (v == -2) {
            ++pads;
            // Padding closes the group: "xx==" or "xxx=".
            if (count + pads == 4)
                flush();
            continue;
        }
        if (pads > 0)
            flush(); // a stray "=" inside a group ends it early
        group[count++] = v;
        if (count == 4)
            flush();
    }
    if (count > 0)
        flush();
    return out - begin;
}
} // namespace

QByteArray Base64EncodeLine(const QByteArray &bytes)
{
    return bytes.toBase64();
}

QByteArray Base64Decode(const QByteArray &text)
{
    QByteArray out(Base64DecodedBound(text.size()), Qt::Uninitialized);
    out.truncate(decodeInto(reinterpret_cast<const unsigned char *>(text.constData()), text.size(), out.data()));
    return out;
}

qsizetype Base64DecodeInto(QByteArrayView text, char *out)
{
    return decodeInto(reinterpret_cast<const unsigned char *>(text.data()), text.size(), out);
}

} // namespace lumora
