#include "Money.h"

#include <cstdio>
#include <cstdlib>

namespace lumora::service
{

namespace
{
// Far beyond any household amount, and still nowhere near overflowing a sum of a million records.
constexpr int kMaxIntegerDigits = 12;
} // namespace

std::optional<std::int64_t> ParseCents(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    if (text.empty())
        return 0;

    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::int64_t whole = 0;
    int wholeDigits = 0;
    size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (++wholeDigits > kMaxIntegerDigits && whole != 0)
            return std::nullopt;
        whole = whole * 10 + (text[i] - '0');
    }
    int fraction = 0; // hundredths
    int fractionDigits = 0;
    bool roundUp = false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (fractionDigits < 2)
                fraction = fraction * 10 + (text[i] - '0');
            else if (fractionDigits == 2)
                roundUp = text[i] >= '5';
            ++fractionDigits;
        }
    }
    if (i != text.size() || wholeDigits + fractionDigits == 0)
        return std::nullopt;
    if (fractionDigits == 1)
        fraction *= 10;
    std::int64_t cents = whole * 100 + fraction + (roundUp ? 1 : 0);
    return negative ? -cents : cents;
}

std::string FormatCents(std::int64_t cents)
{
    const bool negative = cents < 0;
    const std::uint64_t magnitude = negative ? static_cast<std::uint64_t>(-(cents + 1)) + 1 : cents;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%s%llu.%02llu", negative ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 100), static_cast<unsigned long long>(magnitude % 100));
    return buffer;
}

} // namespace lumora::service
