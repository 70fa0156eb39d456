#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumora::service
{

// A day of the proleptic Gregorian calendar. Stored and compared as "yyyy-mm-dd", which sorts by date.
struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;

    static bool IsValid(int year, int month, int day);
    static int DaysInMonth(int year, int month);
    static CalendarDate Today();

    // year "-" month "-" day, leading zeros optional, optionally followed by a blank (or "T") and a time of day.
    static std::optional<CalendarDate> Parse(std::string_view text);
    // Three decimal fields as the save body sends them ("2009", "3", "7").
    static std::optional<CalendarDate> FromFields(std::string_view year, std::string_view month, std::string_view day);

    std::string iso() const;
    CalendarDate addDays(int days) const;
    CalendarDate firstOfMonth() const { return {year, month, 1}; }
    CalendarDate addMonths(int months) const; // the first of the month that many months later

    auto operator<=>(const CalendarDate &) const = default;
};

// Strict decimal integer (ASCII digits only, at most nine), blanks around it allowed.
std::optional<int> ParseSmallInt(std::string_view text);

} // namespace lumora::service
