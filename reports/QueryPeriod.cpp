#include "QueryPeriod.h"

#include "core/DateText.h"

namespace lumora
{

QueryPeriod InitialQueryPeriod(const QDate &today)
{
    // QDate::addMonths clamps 31 March to the last day of February, as the window expects.
    return {DateToText(today.addMonths(-1)), DateToText(today.addDays(1))};
}

QueryPeriod MonthQueryPeriod(const QDate &dayInMonth)
{
    const QDate first(dayInMonth.year(), dayInMonth.month(), 1);
    return {DateToText(first), DateToText(first.addMonths(1))};
}

std::optional<QueryPeriod> ShiftedQueryPeriod(const QString &beginText, int months)
{
    const std::optional<QDate> begin = TextToDate(beginText);
    if (!begin)
        return std::nullopt;
    // Shift the first of the month, never the day itself, so 31 March goes to February and not to 3 March.
    const QDate first = QDate(begin->year(), begin->month(), 1).addMonths(months);
    return MonthQueryPeriod(first);
}

} // namespace lumora
