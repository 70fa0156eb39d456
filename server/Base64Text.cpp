#include "Base64Text.h"

#include <sodium.h>

namespace lumora::service
{

std::string Base64Encode(std::string_view bytes)
{
    std::string out;
    AppendBase64(out, bytes);
    return out;
}

void AppendBase64(std::string &out, std::string_view bytes)
{
    const int variant = sodium_base64_VARIANT_ORIGINAL;
    const size_t start = out.size();
    const size_t length = sodium_base64_encoded_len(bytes.size(), variant);
    out.resize(start + length);
    sodium_bin2base64(out.data() + start, length, reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(),
                      variant);
    out.resize(out.size() - 1); // the terminating zero
}

std::optional<std::string> Base64DecodeStrict(std::string_view text)
{
    std::string out(text.size() / 4 * 3 + 3, '\0');
    size_t length = 0;
    const char *end = nullptr;
    if (sodium_base642bin(reinterpret_cast<unsigned char *>(out.data()), out.size(), text.data(), text.size(),
                          " \r\n\t", &length, &end, sodium_base64_VARIANT_ORIGINAL) != 0)
        return std::nullopt;
    if (end != text.data() + text.size())
        return std::nullopt;
    out.resize(length);
    return out;
}

} // namespace lumora::service
