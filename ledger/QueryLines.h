#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace lumora::query
{

// The lines of each record query of the main window, each ended by CR LF. The session block goes in front later.
QString Last50Lines(const QString &inputUser, const QString &minMoney, int page);
QString ThisMonthLines(const QString &minMoney, const QDateTime &now);
// year and month as the month dialog gives them; trimmed, the month not padded.
QString ChosenMonthLines(const QString &minMoney, const QString &year, const QString &month);
QString DayLines(const QDate &day);
QString MonthRangeLines(const QString &inputUser, const QString &minMoney, const QString &begin, const QString &end);

// Captions of hj_day_label2.
QString ThisMonthCaption(const QDate &today); // "2015年01月13日 月支出合计："
QString DayCaption(const QDate &day);         // "2015年01月13日 支出合计："
QString MonthCaption(const QString &month);   // "201501 月支出合计："

// First day of a "yyyymm" month; throws LumoraError when the text does not start with four and two digits.
QDate MonthStart(const QString &month);
// The "yyyymm" of the month n months after month (n may be negative).
QString ShiftMonth(const QString &month, int n);
QString MonthText(const QDate &date); // "yyyymm"

// Merges the 25 months around month into items: sorted ascending, no duplicates.
QStringList FillMonthList(const QStringList &items, const QString &month);

} // namespace lumora::query
