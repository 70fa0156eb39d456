#pragma once

#include "LedgerParts.h"

#include <QList>

class QTableWidget;

namespace lumora
{

class THttpThreadControl;

// Stands in for the record grid, page loader and month totals until those land: a read-only table of the page,
// a blank last record, and the two requests with their replies. Only what the main window needs of them.
class PlaceholderParts : public LedgerParts
{
public:
    explicit PlaceholderParts(QTableWidget *gridHj1);
    ~PlaceholderParts() override;

    QWidget *gridWidget() override;
    bool HasUnsavedLines() const override;
    void AppendBlankRecord() override;
    void ScrollToEnd() override;
    bool ActiveRecord(TItemInfo &info) const override;
    void DeleteActiveRecord() override;
    void NextLine() override;
    void PreviousLine() override;
    void SendDataQuery(int page, const QString &lines) override;
    void RecountMonth(const QDateTime &date) override;

    QList<TItemInfo> RecordList;
    THttpThreadControl *httpAllData = nullptr;
    THttpThreadControl *httpAddSum = nullptr;
    THttpThreadControl *httpDelete = nullptr;

private:
    void showRecords();
    void LoadRecordPage();
    void ApplyMonthTotals();

    QTableWidget *table_ = nullptr;
    QTableWidget *gridHj1_ = nullptr;
};

} // namespace lumora
