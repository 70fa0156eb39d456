#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumora::service
{

// Amounts travel as decimal text; sums and filters use whole cents so totals never pick up binary rounding.
// Accepts an optional sign, digits and one ".", blanks around; more than two decimals round half away from zero.
// Empty text is zero: the client leaves the amount empty when the user typed none.
std::optional<std::int64_t> ParseCents(std::string_view text);

// "-12.50", "0.00".
std::string FormatCents(std::int64_t cents);

} // namespace lumora::service
