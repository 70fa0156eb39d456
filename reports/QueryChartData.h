#pragma once

#include "QueryReply.h"

#include <QList>
#include <QString>

namespace lumora
{

// One pie slice per category total, in the totals' order. A slice's size is its amount, or nothing when the
// amount is not above zero (a pie cannot show a refund); the share is of the positive amounts.
struct PieSliceData {
    QString label; // category, amount and share: "餐饮 12.50 (38.5%)"
    double value = 0;
};
QList<PieSliceData> CategorySlices(const QList<CategoryTotal> &totals);

} // namespace lumora
