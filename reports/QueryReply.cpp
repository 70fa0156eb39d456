#include "QueryReply.h"

#include "core/Conversions.h"
#include "core/Reply.h"

#include <QLocale>

#include <cmath>

namespace lumora
{

QueryRecords ReadQueryRecords(const Reply &reply)
{
    QueryRecords records;
    const QList<pugi::xml_node> rows = ReplyRows(reply);
    records.rows.reserve(rows.size());
    for (const pugi::xml_node &row : rows) {
        QueryRecordRow line;
        line.name1 = RowText(row, "name1");
        const QString in1 = RowText(row, "in1");
        line.inOut = CodeToInOut(in1);
        line.type1 = RowText(row, "type1");
        line.create_time = RowText(row, "create_time");
        const double money = AmountValue(RowText(row, "money1"));
        line.money1 = AmountText(money);
        line.amount = money;
        line.input_user = RowText(row, "input_user");
        line.expense = in1 != QLatin1String("1");
        if (line.expense)
            records.expenseTotal += money;
        records.rows.append(line);
    }
    // The count only labels the by-person totals as partial; a count that is no number must not cost the rows.
    PageInfo page;
    page.RecCount = -1;
    try {
        if (ReadPageInfo(reply, page))
            records.matching = page.RecCount;
    } catch (const LumoraError &) {
    }
    return records;
}

QList<CategoryTotal> ReadCategoryTotals(const Reply &reply)
{
    QList<CategoryTotal> totals;
    for (const pugi::xml_node &row : ReplyRows(reply))
        totals.append({RowText(row, "type1"), AmountText(AmountValue(RowText(row, "money1")))});
    return totals;
}

double AmountValue(const QString &text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString AmountText(double value)
{
    QString text = QString::asprintf("%.2f", value);
    // A sum of cancelling amounts may round to "-0.00"; show it as zero.
    if (text == QLatin1String("-0.00"))
        text = QStringLiteral("0.00");
    return text;
}

QString CategoryNodeText(const CategoryTotal &total)
{
    return total.category + QLatin1Char('(') + total.amount + QLatin1Char(')');
}

QString CategoryOfNodeText(const QString &nodeText)
{
    // The amount is appended last and never holds "(", so its bracket is the last one.
    const qsizetype open = nodeText.lastIndexOf(QLatin1Char('('));
    return open < 0 ? nodeText : nodeText.left(open);
}

} // namespace lumora
