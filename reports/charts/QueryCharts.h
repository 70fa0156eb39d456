#pragma once

#include "reports/QueryChartData.h"

#include <QWidget>

class QBarCategoryAxis;
class QBarSet;
class QChartView;
class QHorizontalBarSeries;
class QPieSeries;
class QValueAxis;

namespace lumora
{

// The "图表" page of the query window: where the money went as a pie of the category totals, and who spent it as
// bars of the by-person totals. The views are named "chartType1" and "chartUser1".
class QueryCharts : public QWidget
{
    Q_OBJECT
public:
    explicit QueryCharts(QWidget *parent = nullptr);

    void ShowSlices(const QList<PieSliceData> &slices);
    void ShowBars(const PersonBarsData &bars);

    QChartView *chartType1 = nullptr;
    QChartView *chartUser1 = nullptr;
    QPieSeries *pieType1 = nullptr;
    QHorizontalBarSeries *barsUser1 = nullptr;
    QBarSet *barSetUser1 = nullptr;
    QBarCategoryAxis *axisUser1 = nullptr;
    QValueAxis *axisMoney1 = nullptr;
};

} // namespace lumora
