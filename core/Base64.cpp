#include "Base64.h"

namespace lumora
{

namespace
{
int sextet(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    if (c == '=')
        return -2;
    return -1;
}
} // namespace

QByteArray Base64EncodeLine(const QByteArray &bytes)
{
    return bytes.toBase64();
}

QByteArray Base64Decode(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size() * 3 / 4);
    int group[4];
    int count = 0;
    int pads = 0;
    auto flush = [&]() {
        // A group of 2 or 3 characters (or one ending in "=" / "==") gives 1 or 2 bytes.
        const int chars = count;
        if (chars >= 2)
            out.append(char((group[0] << 2) | (group[1] >> 4)));
        if (chars >= 3)
            out.append(char(((group[1] & 0x0F) << 4) | (group[2] >> 2)));
        if (chars >= 4)
            out.append(char(((group[2] & 0x03) << 6) | group[3]));
        count = 0;
        pads = 0;
    };
    for (const char c : text) {
        const int v = sextet(c);
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
    return out;
}

} // namespace lumora
