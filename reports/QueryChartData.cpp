#include "QueryChartData.h"

#include <algorithm>

namespace lumora
{

QList<PieSliceData> CategorySlices(const QList<CategoryTotal> &totals)
{
    double whole = 0;
    for (const CategoryTotal &total : totals)
        whole += qMax(0.0, AmountValue(total.amount));
    QList<PieSliceData> slices;
    slices.reserve(totals.size());
    for (const CategoryTotal &total : totals) {
        const double value = qMax(0.0, AmountValue(total.amount));
        const double share = whole > 0 ? value * 100.0 / whole : 0.0;
        slices.append(
            {QStringLiteral("%1 %2 (%3%)").arg(total.category, total.amount, QString::asprintf("%.1f", share)), value});
    }
    return slices;
}

PersonBarsData PersonBars(const QList<PersonTotal> &totals)
{
    PersonBarsData bars;
    double largest = 0, smallest = 0;
    for (auto it = totals.crbegin(); it != totals.crend(); ++it) {
        bars.people.append(PersonLabel(it->person));
        bars.amounts.append(it->amount);
        largest = std::max(largest, it->amount);
        smallest = std::min(smallest, it->amount);
    }
    bars.axisMin = smallest;
    bars.axisMax = largest > smallest ? largest : smallest + 1;
    return bars;
}

} // namespace lumora
