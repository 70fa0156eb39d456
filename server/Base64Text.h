#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumora::service
{

// Standard alphabet with padding, one line.
std::string Base64Encode(std::string_view bytes);
// The same, appended to out (a reply is built from thousands of these).
void AppendBase64(std::string &out, std::string_view bytes);
// Line breaks and blanks are skipped; anything else outside the alphabet makes the text invalid.
std::optional<std::string> Base64DecodeStrict(std::string_view text);

} // namespace lumora::service
