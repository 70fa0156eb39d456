#include "FormBody.h"

#include "GbkText.h"

namespace lumora::service
{

namespace
{

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::string> Unescape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out.push_back(' ');
        } else if (c == '%') {
            if (i + 2 >= text.size())
                return std::nullopt;
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string_view TrimControls(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<FormBody> FormBody::Parse(std::string_view body)
{
    FormBody form;
    body = TrimControls(body);
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('&', start);
        if (end == std::string_view::npos)
            end = body.size();
        const std::string_view part = body.substr(start, end - start);
        start = end + 1;
        if (part.empty())
            continue; // the trailing "&" the client always sends
        const size_t eq = part.find('=');
        auto name = Unescape(part.substr(0, eq));
        auto value = eq == std::string_view::npos ? std::optional<std::string>("") : Unescape(part.substr(eq + 1));
        if (!name || !value)
            return std::nullopt;
        if (name->empty())
            continue;
        form.fields_.emplace(std::move(*name), std::move(*value)); // keeps the first of a repeated name
    }
    return form;
}

const std::string &FormBody::value(const std::string &name) const
{
    static const std::string empty;
    const auto it = fields_.find(name);
    return it == fields_.end() ? empty : it->second;
}

bool FormBody::convertFromGbk()
{
    std::map<std::string, std::string> converted;
    for (const auto &[name, value] : fields_) {
        auto utf8 = GbkToUtf8(value);
        auto utf8Name = GbkToUtf8(name);
        if (!utf8 || !utf8Name)
            return false;
        converted.emplace(std::move(*utf8Name), std::move(*utf8));
    }
    fields_ = std::move(converted);
    return true;
}

} // namespace lumora::service
