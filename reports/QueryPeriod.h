#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace lumora
{

// A query period as the two strip fields hold it, both "yyyy-mm-dd". A month runs from its first day to the first
// day of the next month; the service treats the end as the day after the range.
struct QueryPeriod {
    QString begin;
    QString end;
};

// The period a new window starts with: one month back from today (clamped to the shorter month's last day) up to
// tomorrow.
QueryPeriod InitialQueryPeriod(const QDate &today);

// The whole month that holds the given day ("本月" passes today).
QueryPeriod MonthQueryPeriod(const QDate &dayInMonth);

// "上月" (months = -1) and "下月" (months = +1): the month before or after the one of the start field. Empty when the
// start text is not a date, so the caller can report it and leave the fields alone.
std::optional<QueryPeriod> ShiftedQueryPeriod(const QString &beginText, int months);

} // namespace lumora
