#include "QueryRequest.h"

#include "core/Protocol.h"
#include "core/Session.h"

namespace lumora
{

namespace
{

const QString kCrLf = QStringLiteral("\r\n");

// A value never carries a line break: the component splits the request at them, so a category name from a reply
// could otherwise smuggle in a field of its own.
QString OneLine(QString value)
{
    value.remove(QLatin1Char('\r'));
    value.remove(QLatin1Char('\n'));
    return value;
}

QString Line(const QString &name, const QString &value)
{
    return name + QLatin1Char('=') + OneLine(value) + kCrLf;
}

QString InCode(const QString &categoryText)
{
    return categoryText.trimmed() == kAllIncome ? QStringLiteral("1") : QStringLiteral("0");
}

QString Lines(const QueryStrip &strip, const QString &type1, const QString &in1, bool withTotals)
{
    QString lines = SessionBlock();
    lines += protocol::ActionData + kCrLf;
    lines += Line(QStringLiteral("mini_money"), strip.minimumChecked ? strip.minimumText.trimmed() : QString());
    lines += Line(QStringLiteral("bdate1"), strip.beginText.trimmed());
    lines += Line(QStringLiteral("edate1"), strip.endText.trimmed());
    lines += Line(QStringLiteral("type1"), type1);
    lines += Line(QStringLiteral("in1"), in1);
    if (withTotals)
        lines += QStringLiteral("sum1=sum1") + kCrLf;
    return lines;
}

} // namespace

CategoryFilter CategoryFilterFor(const QString &categoryText)
{
    const QString category = categoryText.trimmed();
    if (category == kAllIncome)
        return {QString(), QStringLiteral("1")};
    if (category == kAllExpenses)
        return {QString(), QStringLiteral("0")};
    return {category, QStringLiteral("0")};
}

QString QueryRequestLines(const QueryStrip &strip, bool withTotals)
{
    const CategoryFilter filter = CategoryFilterFor(strip.categoryText);
    return Lines(strip, filter.type1, filter.in1, withTotals);
}

QString DetailRequestLines(const QueryStrip &strip, const QString &category)
{
    return Lines(strip, category.trimmed(), InCode(strip.categoryText), false);
}

} // namespace lumora
