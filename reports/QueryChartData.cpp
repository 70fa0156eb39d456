#include "QueryChartData.h"

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

} // namespace lumora
