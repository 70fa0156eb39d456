#pragma once

#include "ledger/LedgerParts.h"

#include <QLineEdit>
#include <QList>
#include <QPair>

// Records what the main window asks of the grid, the loader and the totals.
class FakeParts : public lumora::LedgerParts
{
public:
    FakeParts() : edit(new QLineEdit) {}
    QWidget *gridWidget() override { return edit; }
    bool HasUnsavedLines() const override { return unsaved; }
    void AppendBlankRecord() override { ++appended; }
    void ScrollToEnd() override { ++scrolledToEnd; }
    void DeleteActiveRecord() override { ++deleted; }
    void NextLine() override { ++next; }
    void PreviousLine() override { ++previous; }
    void SendDataQuery(int page, const QString &lines) override { queries.append({page, lines}); }
    void RecountMonth(const QDateTime &date) override { recounts.append(date); }

    QLineEdit *edit; // stands in for a line editor; owned by the window once placed
    bool unsaved = false;
    int appended = 0, scrolledToEnd = 0, deleted = 0, next = 0, previous = 0;
    QList<QPair<int, QString>> queries;
    QList<QDateTime> recounts;
};
