#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace lumora::service
{

// The fields of an application/x-www-form-urlencoded body. Values are percent-decoded bytes ("+" is a blank);
// the first occurrence of a repeated name wins, as the client repeats user_name, user_pass and input_user.
class FormBody
{
public:
    // Nothing when an escape is broken ("%4", "%zz"), so a damaged body is refused rather than half-read.
    static std::optional<FormBody> Parse(std::string_view body);

    bool has(const std::string &name) const { return fields_.count(name) != 0; }
    // Empty when missing.
    const std::string &value(const std::string &name) const;
    const std::map<std::string, std::string> &fields() const { return fields_; }

    // Converts every value from GBK to UTF-8; false (and nothing changed) when one of them is not GBK.
    bool convertFromGbk();

private:
    std::map<std::string, std::string> fields_;
};

} // namespace lumora::service
