#include "QueryCharts.h"

#include "reports/QueryChartsModule.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QSplitter>
#include <QValueAxis>

namespace lumora
{

namespace
{

QChartView *ChartView(QChart *chart, const QString &title, const QFont &font, QWidget *parent)
{
    chart->setTitle(title);
    chart->setTitleFont(font);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);
    chart->setAnimationOptions(QChart::NoAnimation);
    auto *view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

} // namespace

QueryCharts::QueryCharts(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    layout->addWidget(splitter);

    auto *pie = new QChart;
    pieType1 = new QPieSeries(pie);
    pieType1->setPieSize(0.9);
    pie->addSeries(pieType1);
    // Labels around a small pie cut each other off; the legend beside it has room for every one in full.
    pie->legend()->setAlignment(Qt::AlignRight);
    pie->legend()->setFont(font());
    pie->legend()->setMinimumWidth(200);
    pie->legend()->setShowToolTips(true);
    chartType1 = ChartView(pie, QStringLiteral("按类别分"), font(), splitter);
    chartType1->setObjectName(QStringLiteral("chartType1"));
    // The legend's own width estimate falls a few pixels short of its longest line.
    pie->setMargins(QMargins(2, 2, 16, 2));

    auto *bars = new QChart;
    barsUser1 = new QHorizontalBarSeries(bars);
    barSetUser1 = new QBarSet(QStringLiteral("支出"), barsUser1);
    barsUser1->append(barSetUser1);
    bars->addSeries(barsUser1);
    axisUser1 = new QBarCategoryAxis(bars);
    axisUser1->setLabelsFont(font());
    axisMoney1 = new QValueAxis(bars);
    axisMoney1->setLabelFormat(QStringLiteral("%.0f"));
    axisMoney1->setLabelsFont(font());
    bars->addAxis(axisUser1, Qt::AlignLeft);
    bars->addAxis(axisMoney1, Qt::AlignBottom);
    barsUser1->attachAxis(axisUser1);
    barsUser1->attachAxis(axisMoney1);
    bars->legend()->hide();
    chartUser1 = ChartView(bars, QStringLiteral("按输入者分"), font(), splitter);
    chartUser1->setObjectName(QStringLiteral("chartUser1"));

    splitter->addWidget(chartType1);
    splitter->addWidget(chartUser1);
    splitter->setSizes({360, 200});
    ShowBars(PersonBarsData());
}

void QueryCharts::ShowSlices(const QList<PieSliceData> &slices)
{
    pieType1->clear();
    for (const PieSliceData &data : slices) {
        QPieSlice *slice = pieType1->append(data.label, data.value);
        slice->setLabelFont(font());
    }
}

void QueryCharts::ShowBars(const PersonBarsData &bars)
{
    barSetUser1->remove(0, barSetUser1->count());
    axisUser1->clear();
    axisUser1->append(bars.people);
    barSetUser1->append(QList<qreal>(bars.amounts.cbegin(), bars.amounts.cend()));
    axisMoney1->setRange(bars.axisMin, bars.axisMax);
    // Few ticks: the bars get the narrower half of the page.
    axisMoney1->setTickCount(3);
    axisMoney1->applyNiceNumbers();
}

class QueryChartsPlugin : public QObject, public QueryChartsModule
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID LumoraQueryChartsModule_iid)
    Q_INTERFACES(lumora::QueryChartsModule)
public:
    QWidget *createCharts(QWidget *parent) override { return new QueryCharts(parent); }
    void showSlices(QWidget *charts, const QList<PieSliceData> &slices) override
    {
        static_cast<QueryCharts *>(charts)->ShowSlices(slices);
    }
    void showBars(QWidget *charts, const PersonBarsData &bars) override
    {
        static_cast<QueryCharts *>(charts)->ShowBars(bars);
    }
};

} // namespace lumora

#include "QueryCharts.moc"
