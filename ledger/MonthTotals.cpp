#include "MonthTotals.h"

#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/PaintGridCell.h"
#include "core/Protocol.h"
#include "core/Session.h"
#include "util/MessageSeam.h"

#include <QHeaderView>
#include <QTableWidget>

namespace lumora
{

MonthTotals::MonthTotals(QTableWidget *grid, PageInfo *page, QObject *parent)
    : QObject(parent), gridHj1(grid), page_(page)
{
    httpAddSum = new THttpThreadControl(this);
    httpAddSum->setObjectName(QStringLiteral("httpAddSum"));
    httpAddSum->ReadTimeout = 20000;
    httpAddSum->OnHttpData = [this](THttpThreadControl *http) { httpAddSumHttpData(http); };
    // A failed recount hides the busy window too, instead of leaving it up until some other reply.
    httpAddSum->OnHttpError = [this](THttpThreadControl *http, const QString &err) { httpAddSumHttpError(http, err); };
    SetupGrid(gridHj1);
}

void MonthTotals::SetupGrid(QTableWidget *grid)
{
    grid->setObjectName(QStringLiteral("gridHj1"));
    grid->setColumnCount(4);
    grid->setRowCount(2);
    // Row 0 holds the column titles and stays put as the header row.
    if (!qobject_cast<FixedHeaderRow *>(grid->horizontalHeader()))
        new FixedHeaderRow(grid);
    grid->verticalHeader()->hide();
    grid->setFrameShape(QFrame::NoFrame);
    grid->setShowGrid(true);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setItemDelegate(new GridCellDelegate(grid));
}

void MonthTotals::RecountMonth(const QDateTime &date)
{
    if (!date.isValid()) {
        ShowMessage(QStringLiteral("日期格式错误."));
        return;
    }
    const QDate day = date.date();
    QString lines = SessionBlock();
    lines += protocol::ActionAddSum + QStringLiteral("\r\n");
    lines += QStringLiteral("user_name=") + SessionUser + QStringLiteral("\r\n");
    lines += QStringLiteral("user_pass=") + SessionPassword + QStringLiteral("\r\n");
    lines += QStringLiteral("input_user=") + SessionInputUser + QStringLiteral("\r\n");
    lines += QStringLiteral("year1=%1\r\n").arg(day.year());
    lines += QStringLiteral("month1=%1\r\n").arg(day.month());
    lines += QStringLiteral("day1=%1\r\n").arg(day.day());
    httpAddSum->Post(ServiceBaseUrl + protocol::ScriptPost, lines);
    ShowBusy();
}

void MonthTotals::httpAddSumHttpData(THttpThreadControl *http)
{
    ApplyMonthTotals(http->ResponseText);
}

void MonthTotals::httpAddSumHttpError(THttpThreadControl *, const QString &)
{
    HideBusy();
}

void MonthTotals::SetCell(int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = gridHj1->item(row, column))
        item->setText(text);
    else
        gridHj1->setItem(row, column, new QTableWidgetItem(text));
}

void MonthTotals::ApplyMonthTotals(const QString &replyText)
{
    HideBusy();
    SetCell(0, 0, QStringLiteral("支出"));
    SetCell(0, 1, QStringLiteral("收入"));
    SetCell(0, 2, QStringLiteral("余额"));
    SetCell(0, 3, QStringLiteral("日期"));

    WriteDebugDump(replyText);
    Reply reply = ParseReply(replyText);
    const QList<pugi::xml_node> rows = ReplyRows(reply);
    gridHj1->setRowCount(static_cast<int>(rows.size()) + 2);
    for (int k = 0; k < rows.size(); ++k) {
        CopyRecordId(rows[k]);
        const MonthTotalRow totals = ReadMonthTotalRow(rows[k]);
        // A cell whose attribute is missing keeps what it showed before.
        if (totals.hasMoney1)
            SetCell(k + 1, 0, totals.money1);
        if (totals.hasMoneyIn1)
            SetCell(k + 1, 1, totals.money_in1);
        if (totals.hasMoneyYe1)
            SetCell(k + 1, 2, totals.money_ye1);
        QString month;
        if (totals.hasYear1)
            month += totals.year1 + QStringLiteral("年");
        if (totals.hasMonth1)
            month += totals.month1 + QStringLiteral("月");
        SetCell(k + 1, 3, month);
    }
    if (page_)
        ReadPageInfo(reply, *page_);
    WriteDataDump(reply);
    if (OnShowMainGrid)
        OnShowMainGrid();
}

} // namespace lumora
