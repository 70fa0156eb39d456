#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumora::service
{

// The wire speaks GBK (code page 936); storage and the registration page speak UTF-8.
// Both return nothing when the input is not valid in its encoding (or has no GBK form).
std::optional<std::string> GbkToUtf8(std::string_view gbk);
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

} // namespace lumora::service
