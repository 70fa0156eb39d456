#pragma once

#include <QString>

namespace lumora
{

// The two pseudo-categories at the top of the category box.
inline const QString kAllExpenses = QStringLiteral("<全部支出>");
inline const QString kAllIncome = QStringLiteral("<全部收入>");

// What the parameter strip holds when a query starts, texts as typed.
struct QueryStrip {
    bool minimumChecked = false;
    QString minimumText;
    QString beginText;
    QString endText;
    QString categoryText; // the category box
};

// The "type1" and "in1" values for the category box text.
struct CategoryFilter {
    QString type1;
    QString in1;
};
CategoryFilter CategoryFilterFor(const QString &categoryText);

// Lines of the period query, SessionBlock first, each ended by CR LF; withTotals adds "sum1=sum1" for the
// category-totals request.
QString QueryRequestLines(const QueryStrip &strip, bool withTotals);

// Lines of the detail query of one category from the tree: the strip as it stands, that category as "type1", and
// "in1" still following the category box.
QString DetailRequestLines(const QueryStrip &strip, const QString &category);

} // namespace lumora
