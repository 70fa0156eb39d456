#pragma once

#include "QueryChartData.h"

#include <QtPlugin>

class QWidget;

namespace lumora
{

// The pictures of the "图表" page. They live in a module of their own (the only code that links Qt Charts), loaded
// the first time the page is shown, so that starting the program loads no chart library. The module only draws:
// what it shows is worked out here (QueryChartData).
class QueryChartsModule
{
public:
    virtual ~QueryChartsModule() = default;
    // The pie of the category totals beside the bars of the by-person totals, both empty.
    virtual QWidget *createCharts(QWidget *parent) = 0;
    virtual void showSlices(QWidget *charts, const QList<PieSliceData> &slices) = 0;
    virtual void showBars(QWidget *charts, const PersonBarsData &bars) = 0;
};

} // namespace lumora

#define LumoraQueryChartsModule_iid "lumora.QueryChartsModule/1"
Q_DECLARE_INTERFACE(lumora::QueryChartsModule, LumoraQueryChartsModule_iid)
