#include "RecordPageLoader.h"

#include "grid/TfrmTCLine.h"
#include "grid/TfrmVGrid.h"

#include "core/HttpThreadControl.h"
#include "core/NetSta.h"
#include "core/Protocol.h"
#include "core/Session.h"

#include <charconv>
#include <cmath>

namespace lumora
{

RecordPageLoader::RecordPageLoader(TfrmVGrid *grid, QObject *parent) : QObject(parent), grid_(grid)
{
    httpAllData = new THttpThreadControl(this);
    httpAllData->setObjectName(QStringLiteral("httpAllData"));
    httpAllData->ReadTimeout = 20000;
    httpAllData->OnHttpData = [this](THttpThreadControl *http) { httpAllDataHttpData(http); };
    httpAllData->OnHttpError = [this](THttpThreadControl *http, const QString &err) {
        httpAllDataHttpError(http, err);
    };
}

void RecordPageLoader::SendDataQuery(int page, const QString &lines)
{
    grid_->ActiveLineEditor = nullptr;
    if (page == 0)
        Page.CurPage = 0;
    httpAllData->Post(ServiceBaseUrl + protocol::ScriptPost, SessionBlock() + lines);
    ShowBusy();
}

void RecordPageLoader::httpAllDataHttpData(THttpThreadControl *http)
{
    if (MayLoadPage && !MayLoadPage()) {
        HideBusy();
        return;
    }
    LoadRecordPage(http->ResponseText);
}

void RecordPageLoader::httpAllDataHttpError(THttpThreadControl *, const QString &)
{
    HideBusy(); // the page shown stays
}

double RecordPageLoader::AmountValue(const QString &text)
{
    // A page holds a thousand amounts, nearly all plain ASCII numbers: those are read with std::from_chars, which
    // costs a fraction of Qt's reading; anything else (signs, blanks inside, other digits) takes Qt's way.
    const QStringView trimmed = QStringView(text).trimmed();
    char ascii[64];
    if (!trimmed.isEmpty() && trimmed.size() < qsizetype(sizeof ascii) && trimmed.front() != u'+') {
        qsizetype n = 0;
        for (const QChar c : trimmed) {
            if (c.unicode() > 0x7f)
                break;
            ascii[n++] = char(c.unicode());
        }
        double value = 0;
        const auto [end, error] = std::from_chars(ascii, ascii + n, value);
        if (n == trimmed.size() && error == std::errc() && end == ascii + n && std::isfinite(value))
            return value;
    }
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString RecordPageLoader::TwoDecimals(double value)
{
    // std::to_chars gives Qt's "%.2f" digits, except for zero (Qt drops the sign of -0) and exact ties such as
    // 0.125, which Qt rounds away from zero: those few take Qt's way.
    const bool tie = std::abs(std::fmod(value * 8, 2.0)) == 1.0;
    if (value == 0 || tie || !std::isfinite(value))
        return QString::asprintf("%.2f", value);
    char text[400];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    return QString::fromLatin1(text, written.ptr - text);
}

QString RecordPageLoader::PageInfoText() const
{
    return QStringLiteral("总数: %1 页次: %2 每页: %3").arg(Page.RecCount).arg(Page.CurPage).arg(Page.RecCountInPage);
}

void RecordPageLoader::LoadRecordPage(const QString &replyText)
{
    HideBusy();
    grid_->ActiveLineEditor = nullptr;
    double total = 0;

    WriteDebugDump(replyText);
    Reply reply = ParseReply(replyText);
    const QList<pugi::xml_node> rows = ReplyRows(reply);

    QList<TItemInfo> records(rows.size());
    // One working record for all rows: a field whose attribute a row lacks keeps the previous row's value.
    TItemInfo working;
    RecordRowReader reader;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        CopyRecordId(rows[i]);
        ClearRecordId(working);
        reader.Read(rows[i], working);
        const double amount = AmountValue(working.money1);
        if (working.in1 != QStringLiteral("1"))
            total += amount;
        working.money1 = TwoDecimals(amount);
        records[i] = working;
    }
    // Moved, so that appending the blank record does not copy the page.
    grid_->RecordList = std::move(records);
    grid_->AppendBlankRecord();

    // The page information is read before the grid is filled, so that a good page is bound once, at its end; a
    // bad value leaves the records shown from the top, the values read before it taken over, and throws.
    PageInfo page = Page;
    page.RecCount = 0;
    try {
        ReadPageInfo(reply, page);
    } catch (const LumoraError &) {
        Page = page;
        grid_->ShowFrom(0);
        grid_->ScrollTo(0);
        grid_->ActiveRecordIndex = grid_->RecordCount() - 1;
        throw;
    }
    grid_->ActiveRecordIndex = grid_->RecordCount() - 1;
    Page = page;
    PageTotal = total;
    if (OnPageInfoText)
        OnPageInfoText(PageInfoText());
    WriteDataDump(reply);
    if (OnPageTotalText)
        OnPageTotalText(TwoDecimals(total));
    grid_->ScrollToEnd();
}

} // namespace lumora
