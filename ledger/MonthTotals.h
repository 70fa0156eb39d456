#pragma once

#include "core/Reply.h"

#include <QDateTime>
#include <QObject>

#include <functional>

class QTableWidget;

namespace lumora
{

class THttpThreadControl;

// Asks the service to recount a month and shows the month totals it returns in the summary grid gridHj1
// (expense, income, balance, month), owner-drawn by PaintGridCell. The main window owns one and places the grid.
class MonthTotals : public QObject
{
    Q_OBJECT
public:
    // page: the main window's page information, which a totals reply may update; may be null.
    MonthTotals(QTableWidget *gridHj1, PageInfo *page, QObject *parent = nullptr);

    THttpThreadControl *httpAddSum = nullptr;
    QTableWidget *gridHj1;

    // Called after each reply: the main window makes pnlMainGrid visible.
    std::function<void()> OnShowMainGrid;

    void RecountMonth(const QDateTime &date);
    void httpAddSumHttpData(THttpThreadControl *http);
    void httpAddSumHttpError(THttpThreadControl *http, const QString &err);

    // The reply handler's work; throws LumoraError on a reply that is not XML or a bad "Info".
    void ApplyMonthTotals(const QString &replyText);

    // Four columns, rows drawn by GridCellDelegate, row 0 the header row; empty until the first reply.
    static void SetupGrid(QTableWidget *grid);

private:
    void SetCell(int row, int column, const QString &text);
    PageInfo *page_;
};

} // namespace lumora
