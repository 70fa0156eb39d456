#include "CalendarDate.h"

#include <cstdio>
#include <ctime>

namespace lumora::service
{

namespace
{

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

// Days since 1970-01-01 and back (Howard Hinnant's civil calendar algorithms).
long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

CalendarDate CivilFromDays(long z)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

} // namespace

std::optional<int> ParseSmallInt(std::string_view text)
{
    text = Trim(text);
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool CalendarDate::IsValid(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

int CalendarDate::DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

CalendarDate CalendarDate::Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::optional<CalendarDate> CalendarDate::Parse(std::string_view text)
{
    text = Trim(text);
    const size_t end = text.find_first_of(" T");
    std::string_view date = text.substr(0, end);
    const size_t dash1 = date.find('-');
    if (dash1 == std::string_view::npos)
        return std::nullopt;
    const size_t dash2 = date.find('-', dash1 + 1);
    if (dash2 == std::string_view::npos)
        return std::nullopt;
    const auto year = date.substr(0, dash1);
    const auto month = date.substr(dash1 + 1, dash2 - dash1 - 1);
    const auto day = date.substr(dash2 + 1);
    if (year.size() > 4 || month.size() > 2 || day.size() > 2)
        return std::nullopt;
    return FromFields(year, month, day);
}

std::optional<CalendarDate> CalendarDate::FromFields(std::string_view year, std::string_view month,
                                                     std::string_view day)
{
    const auto y = ParseSmallInt(year);
    const auto m = ParseSmallInt(month);
    const auto d = ParseSmallInt(day);
    if (!y || !m || !d || !IsValid(*y, *m, *d))
        return std::nullopt;
    return CalendarDate{*y, *m, *d};
}

std::string CalendarDate::iso() const
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
    return buffer;
}

CalendarDate CalendarDate::addDays(int days) const
{
    return CivilFromDays(DaysFromCivil(year, month, day) + days);
}

CalendarDate CalendarDate::addMonths(int months) const
{
    int index = year * 12 + (month - 1) + months;
    return {index / 12, index % 12 + 1, 1};
}

} // namespace lumora::service
