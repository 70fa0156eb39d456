#pragma once

#include "LedgerParts.h"

#include <QObject>
#include <QStringList>

class QTableWidget;

namespace lumora
{

class MonthTotals;
class RecordPageLoader;
class TfrmVGrid;

// The record grid, its page loader and the month totals, as the main window uses them.
class GridParts : public QObject, public LedgerParts
{
    Q_OBJECT
public:
    // gridHj1: the summary grid the window places beside the records.
    explicit GridParts(QTableWidget *gridHj1, QObject *parent = nullptr);
    ~GridParts() override;

    QWidget *gridWidget() override;
    void BuildLinesWhileIdle(QWidget *window) override;
    bool HasUnsavedLines() const override;
    void AppendBlankRecord() override;
    void ScrollToEnd() override;
    void DeleteActiveRecord() override;
    void NextLine() override;
    void PreviousLine() override;
    void SendDataQuery(int page, const QString &lines) override;
    void RecountMonth(const QDateTime &date) override;
    PageInfo &Page() override;

    // The unsaved records as they stand: which ones and what they hold.
    QStringList UnsavedState() const;

    TfrmVGrid *frmVGrid = nullptr;
    RecordPageLoader *loader = nullptr;
    MonthTotals *totals = nullptr;

private:
    QStringList unsavedAtSend_; // UnsavedState when the last query went out
};

} // namespace lumora
