#include "GbkText.h"

#include <cerrno>
#include <iconv.h>

namespace lumora::service
{

namespace
{

bool IsAscii(std::string_view text)
{
    for (unsigned char c : text) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

// One converter per thread and direction: iconv descriptors carry state and must not be shared.
class Converter
{
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    std::optional<std::string> convert(std::string_view input)
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            return std::nullopt;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(input.size() * 2 + 8, '\0');
        char *in = const_cast<char *>(input.data());
        size_t inLeft = input.size();
        size_t used = 0;
        while (inLeft > 0) {
            char *outPtr = out.data() + used;
            size_t outLeft = out.size() - used;
            size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            used = out.size() - outLeft;
            if (rc != static_cast<size_t>(-1))
                continue;
            if (errno != E2BIG)
                return std::nullopt; // EILSEQ or EINVAL: not valid text, or cut inside a character
            out.resize(out.size() * 2);
        }
        // A conversion that swallowed a character without a target (rc > 0) would be lossy; glibc reports
        // those as EILSEQ for these two encodings, so nothing more to check here.
        out.resize(used);
        return out;
    }

private:
    iconv_t cd_;
};

} // namespace

std::optional<std::string> GbkToUtf8(std::string_view gbk)
{
    if (IsAscii(gbk))
        return std::string(gbk);
    thread_local Converter converter("UTF-8", "CP936");
    return converter.convert(gbk);
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8)
{
    if (IsAscii(utf8))
        return std::string(utf8);
    thread_local Converter converter("CP936", "UTF-8");
    return converter.convert(utf8);
}

} // namespace lumora::service
