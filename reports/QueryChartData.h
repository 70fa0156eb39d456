#pragma once

#include "PersonTotals.h"
#include "QueryReply.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace lumora
{

// One pie slice per category total, in the totals' order. A slice's size is its amount, or nothing when the
// amount is not above zero (a pie cannot show a refund); the share is of the positive amounts.
struct PieSliceData {
    QString label; // category, amount and share: "餐饮 12.50 (38.5%)"
    double value = 0;
};
QList<PieSliceData> CategorySlices(const QList<CategoryTotal> &totals);

// The bars of the by-person totals. Horizontal bars run up from the axis' first category, so the people come in
// reverse order and the largest total stands on top; the value axis spans the smallest to the largest amount
// (and at least 1), zero always inside it.
struct PersonBarsData {
    QStringList people;
    QList<double> amounts;
    double axisMin = 0;
    double axisMax = 1;
};
PersonBarsData PersonBars(const QList<PersonTotal> &totals);

} // namespace lumora
