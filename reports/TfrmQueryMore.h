#pragma once

#include "QueryReply.h"

#include <QDate>
#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableWidget;
class QTreeWidget;

namespace lumora
{

class QueryChartsModule;
class THttpThreadControl;
class TPNGButtonEx;
struct QueryStrip;

// "费用查询": what was spent in a period, as records with their expense total and as totals per category.
// Created on first use and kept, so it shows its last period and results on every opening.
class TfrmQueryMore : public QDialog
{
    Q_OBJECT
public:
    // today gives the current date (the initial period and "本月"); the system date when empty.
    explicit TfrmQueryMore(QWidget *parent = nullptr, std::function<QDate()> today = {});
    ~TfrmQueryMore() override;

    // Parameter strip.
    QLabel *Label1 = nullptr;
    QLineEdit *edit_date_begin1 = nullptr;
    QPushButton *Button1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *edit_date_end1 = nullptr;
    QPushButton *Button2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QComboBox *type1 = nullptr;
    QLabel *Label_sum1 = nullptr;
    QLabel *hj_day_label1 = nullptr;
    TPNGButtonEx *btnCurMonth = nullptr;
    TPNGButtonEx *btnMonth1 = nullptr;
    TPNGButtonEx *btnMonth2 = nullptr;
    QCheckBox *CheckBox_max1 = nullptr;
    QLineEdit *Edit_max1 = nullptr;
    TPNGButtonEx *btnQuery = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label5 = nullptr;
    TPNGButtonEx *btnExport = nullptr; // "导出...": the rows the grid shows, as CSV

    // Results: the totals by category and by entering user in tabs at the left, the records and their charts in
    // tabs at the right.
    QSplitter *Splitter1 = nullptr;
    QTabWidget *tabTotals1 = nullptr;
    QTreeWidget *treeType1 = nullptr;
    QTreeWidget *treeUser1 = nullptr;
    QTabWidget *tabResults1 = nullptr;
    QTableWidget *gridHj1 = nullptr;
    QWidget *pageChart1 = nullptr;
    // Made when "图表" is first shown: the chart module's pictures, or a note where the module is not installed.
    QWidget *charts = nullptr;

    static const QString ChartsMissingText;

    THttpThreadControl *httpAllData = nullptr;     // records
    THttpThreadControl *httpAllData_sum = nullptr; // category totals

    // Called when a query starts, so the main window can set its CurPage to 0.
    std::function<void()> ResetCurPage;
    // The date dialog: (field text, result) -> confirmed. PickDate unless a test puts its own in.
    std::function<bool(const QString &, QString &)> PickDateFn;

    // Handlers, public so the main window's tests and the benchmark can drive them without a pointer.
    void btnQueryClick();
    void btnCurMonthClick();
    void btnMonth1Click();
    void btnMonth2Click();
    void Button1Click();
    void Button2Click();
    void treeType1DblClick();
    void treeUser1DblClick();
    void btnExportClick();
    void httpAllDataHttpData(THttpThreadControl *component);
    void httpAllData_sumHttpData(THttpThreadControl *component);
    void httpAllDataHttpError(THttpThreadControl *component, const QString &err);

    // Takes a records reply: the grid shows all its rows with their expense total in hj_day_label1, and the
    // by-person totals are counted from them.
    void ShowRecords(const QueryRecords &records);

    QueryStrip CurrentStrip() const;
    QDate Today() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildStrip();
    void BuildResults();
    void ShowRows(const QueryRecords &records);
    void ShowPersonTotals();
    void ShowCategoryTotals(const QList<CategoryTotal> &totals);
    void tabResults1Changed(int index);
    void SetCell(int row, int column, const QString &text);
    void ShiftPeriod(int months);
    void PickInto(QLineEdit *field);

    QueryChartsModule *chartsModule_ = nullptr;
    std::function<QDate()> today_;
    bool placed_ = false;
    QueryRecords records_;                // the last records reply
    QList<QueryRecordRow> shown_;         // the rows the grid shows, in its order
    QList<CategoryTotal> categoryTotals_; // the last totals reply
};

} // namespace lumora
