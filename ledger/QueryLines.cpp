#include "QueryLines.h"

#include "core/DateText.h"
#include "core/Protocol.h"
#include "core/Reply.h"

#include <QRegularExpression>

namespace lumora::query
{

namespace
{

QString joinLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

QString chineseDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy年MM月dd日"));
}

} // namespace

QString Last50Lines(const QString &inputUser, const QString &minMoney, int page)
{
    return joinLines({protocol::ActionData, QStringLiteral("input_user=") + inputUser,
                      QStringLiteral("mini_money=") + minMoney, QStringLiteral("page=") + QString::number(page)});
}

QString ThisMonthLines(const QString &minMoney, const QDateTime &now)
{
    const QString text = DateTimeToText(now);
    return joinLines({protocol::ActionData, QStringLiteral("page=0"), QStringLiteral("mini_money=") + minMoney,
                      QStringLiteral("month1=") + text, QStringLiteral("create_time=") + text});
}

QString ChosenMonthLines(const QString &minMoney, const QString &year, const QString &month)
{
    const QString m = year.trimmed() + QLatin1Char('-') + month.trimmed() + QStringLiteral("-01 12:00:00");
    return joinLines({protocol::ActionData, QStringLiteral("page=0"), QStringLiteral("mini_money=") + minMoney,
                      QStringLiteral("month1=") + m, QStringLiteral("create_time=") + m});
}

QString DayLines(const QDate &day)
{
    const QString d = DateToText(day);
    return joinLines({protocol::ActionData, QStringLiteral("page=0"), QStringLiteral("day1=") + d,
                      QStringLiteral("create_time=") + d});
}

QString MonthRangeLines(const QString &inputUser, const QString &minMoney, const QString &begin, const QString &end)
{
    return joinLines({protocol::ActionData, QStringLiteral("input_user=") + inputUser,
                      QStringLiteral("mini_money=") + minMoney, QStringLiteral("page=0"),
                      QStringLiteral("bdate1=") + begin.trimmed(), QStringLiteral("edate1=") + end.trimmed()});
}

QString ThisMonthCaption(const QDate &today)
{
    return chineseDate(today) + QStringLiteral(" 月支出合计：");
}

QString DayCaption(const QDate &day)
{
    return chineseDate(day) + QStringLiteral(" 支出合计：");
}

QString MonthCaption(const QString &month)
{
    return month + QStringLiteral(" 月支出合计：");
}

QDate MonthStart(const QString &month)
{
    static const QRegularExpression shape(QStringLiteral("^(\\d{4})(\\d{2})"));
    const QRegularExpressionMatch m = shape.match(month);
    const QDate date = m.hasMatch() ? QDate(m.captured(1).toInt(), m.captured(2).toInt(), 1) : QDate();
    if (!date.isValid())
        throw LumoraError(QStringLiteral("'%1' is not a valid date").arg(month));
    return date;
}

QString MonthText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyyMM"));
}

QString ShiftMonth(const QString &month, int n)
{
    return MonthText(MonthStart(month).addMonths(n));
}

QStringList FillMonthList(const QStringList &items, const QString &month)
{
    const QDate base = MonthStart(month);
    QStringList result = items;
    for (int k = -12; k <= 12; ++k) {
        const QString text = MonthText(base.addMonths(k));
        if (!result.contains(text))
            result.append(text);
    }
    result.sort();
    return result;
}

} // namespace lumora::query
