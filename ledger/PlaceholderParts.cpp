#include "PlaceholderParts.h"

#include "core/Conversions.h"
#include "core/DateText.h"
#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/Protocol.h"
#include "core/Session.h"

#include <QHeaderView>
#include <QTableWidget>

namespace lumora
{

PlaceholderParts::PlaceholderParts(QTableWidget *gridHj1) : gridHj1_(gridHj1)
{
    table_ = new QTableWidget(0, 6);
    table_->setObjectName(QStringLiteral("frmVGrid"));
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setFrameShape(QFrame::NoFrame);
    const int widths[] = {185, 88, 88, 104, 112, 112};
    for (int c = 0; c < 6; ++c)
        table_->setColumnWidth(c, widths[c]);

    httpAllData = new THttpThreadControl(table_);
    httpAllData->ReadTimeout = 20000;
    httpAllData->OnHttpData = [this](THttpThreadControl *) { LoadRecordPage(); };
    httpAllData->OnHttpError = [](THttpThreadControl *, const QString &) { HideBusy(); };
    httpAddSum = new THttpThreadControl(table_);
    httpAddSum->ReadTimeout = 20000;
    httpAddSum->OnHttpData = [this](THttpThreadControl *) { ApplyMonthTotals(); };
    httpDelete = new THttpThreadControl(table_);
    httpDelete->OnHttpData = [this](THttpThreadControl *http) {
        if (IsReplyOk(http) && table_->currentRow() >= 0 && table_->currentRow() < RecordList.size()) {
            RecordList.removeAt(table_->currentRow());
            showRecords();
        }
    };
    httpDelete->OnHttpError = [](THttpThreadControl *, const QString &) { HideBusy(); };
}

// The table is parented to the window once placed, which then deletes it.
PlaceholderParts::~PlaceholderParts() = default;

QWidget *PlaceholderParts::gridWidget()
{
    return table_;
}

bool PlaceholderParts::HasUnsavedLines() const
{
    for (const TItemInfo &info : RecordList)
        if (info.Modified)
            return true;
    return false;
}

void PlaceholderParts::AppendBlankRecord()
{
    TItemInfo blank;
    blank.IsNew = true;
    RecordList.append(blank);
    showRecords();
}

void PlaceholderParts::ScrollToEnd()
{
    if (table_->rowCount() == 0)
        return;
    table_->scrollToBottom();
    table_->setCurrentCell(table_->rowCount() - 1, 0);
}

bool PlaceholderParts::ActiveRecord(TItemInfo &info) const
{
    const int row = table_->currentRow();
    if (!table_->hasFocus() || row < 0 || row >= RecordList.size())
        return false;
    info = RecordList.at(row);
    return true;
}

void PlaceholderParts::DeleteActiveRecord()
{
    TItemInfo info;
    if (!ActiveRecord(info))
        return;
    httpDelete->Post(ServiceBaseUrl + protocol::ScriptPost, SessionBlock() + protocol::ActionDel +
                                                                QStringLiteral("\r\nid_guid=") + info.id_guid +
                                                                QStringLiteral("\r\n"));
    ShowBusy();
}

void PlaceholderParts::NextLine()
{
    if (table_->currentRow() + 1 < table_->rowCount())
        table_->setCurrentCell(table_->currentRow() + 1, qMax(0, table_->currentColumn()));
}

void PlaceholderParts::PreviousLine()
{
    if (table_->currentRow() > 0)
        table_->setCurrentCell(table_->currentRow() - 1, qMax(0, table_->currentColumn()));
}

void PlaceholderParts::SendDataQuery(int, const QString &lines)
{
    httpAllData->Post(ServiceBaseUrl + protocol::ScriptPost, SessionBlock() + lines);
    ShowBusy();
}

void PlaceholderParts::RecountMonth(const QDateTime &date)
{
    const QDate d = date.date();
    QString body = SessionBlock() + protocol::ActionAddSum + QStringLiteral("\r\n");
    body += QStringLiteral("user_name=") + SessionUser + QStringLiteral("\r\n");
    body += QStringLiteral("user_pass=") + SessionPassword + QStringLiteral("\r\n");
    body += QStringLiteral("input_user=") + SessionInputUser + QStringLiteral("\r\n");
    body += QStringLiteral("year1=%1\r\nmonth1=%2\r\nday1=%3\r\n").arg(d.year()).arg(d.month()).arg(d.day());
    httpAddSum->Post(ServiceBaseUrl + protocol::ScriptPost, body);
    ShowBusy();
}

void PlaceholderParts::showRecords()
{
    table_->setRowCount(RecordList.size());
    for (int r = 0; r < RecordList.size(); ++r) {
        const TItemInfo &info = RecordList.at(r);
        const QString cells[] = {info.name1, info.money1,      info.in1.isEmpty() ? QString() : CodeToInOut(info.in1),
                                 info.type1, info.create_time, info.StatusText};
        for (int c = 0; c < 6; ++c)
            table_->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
}

void PlaceholderParts::LoadRecordPage()
{
    HideBusy();
    const Reply reply = ParseReply(httpAllData->ResponseText);
    double total = 0;
    RecordList.clear();
    TItemInfo working;
    for (const QDomElement &row : ReplyRows(reply)) {
        ClearRecordId(working);
        ReadRecordRow(row, working);
        bool ok = false;
        double money = working.money1.trimmed().toDouble(&ok);
        if (!ok)
            money = 0;
        if (working.in1 != QLatin1String("1"))
            total += money;
        working.money1 = QString::asprintf("%.2f", money);
        RecordList.append(working);
    }
    AppendBlankRecord();
    PageInfo page;
    const bool hasInfo = ReadPageInfo(reply, page);
    if (PageLoaded)
        PageLoaded(page, hasInfo, total);
    ScrollToEnd();
}

void PlaceholderParts::ApplyMonthTotals()
{
    HideBusy();
    const Reply reply = ParseReply(httpAddSum->ResponseText);
    const QList<QDomElement> rows = ReplyRows(reply);
    gridHj1_->setRowCount(rows.size() + 2);
    const QStringList headers = {QStringLiteral("支出"), QStringLiteral("收入"), QStringLiteral("余额"),
                                 QStringLiteral("日期")};
    for (int c = 0; c < 4; ++c)
        gridHj1_->setItem(0, c, new QTableWidgetItem(headers[c]));
    for (int k = 0; k < rows.size(); ++k) {
        const MonthTotalRow t = ReadMonthTotalRow(rows[k]);
        if (t.hasMoney1)
            gridHj1_->setItem(k + 1, 0, new QTableWidgetItem(t.money1));
        if (t.hasMoneyIn1)
            gridHj1_->setItem(k + 1, 1, new QTableWidgetItem(t.money_in1));
        if (t.hasMoneyYe1)
            gridHj1_->setItem(k + 1, 2, new QTableWidgetItem(t.money_ye1));
        QString date;
        if (t.hasYear1)
            date += t.year1 + QStringLiteral("年");
        if (t.hasMonth1)
            date += t.month1 + QStringLiteral("月");
        gridHj1_->setItem(k + 1, 3, new QTableWidgetItem(date));
    }
}

} // namespace lumora
